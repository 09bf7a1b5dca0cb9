// A fixture that loads the plug-in's logic into the stand-in host in-process.
#pragma once

#include "app/vog_app.h"
#include "host/standin.h"
#include "project/project_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vogtest {

class PluginTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetHost();
        vog::project::resetProjectState();
        capture.clear();
        app = standin::attachApplication(vog::entryPoint, L"vog");
    }
    void TearDown() override {
        standin::resetHost();
        vog::project::resetProjectState();
    }

    // Calls a LISP function of the plug-in with string arguments.
    standin::CallResult call(const std::wstring& name, const std::vector<std::wstring>& args = {}) {
        resbuf* head = nullptr;
        resbuf** tail = &head;
        for (const auto& a : args) {
            *tail = acutBuildList(RTSTR, a.c_str(), RTNONE);
            tail = &(*tail)->rbnext;
        }
        standin::CallResult result;
        bool found = standin::callExternal(name, head, result);
        acutRelRb(head);
        EXPECT_TRUE(found) << "no LISP function " << standin::toUtf8(name);
        return result;
    }

    // The strings of a returned list.
    static std::vector<std::wstring> strings(const standin::CallResult& result) {
        std::vector<std::wstring> out;
        for (const resbuf* rb = result.list; rb; rb = rb->rbnext)
            out.push_back(rb->restype == RTSTR ? rb->resval.rstring : L"<not a string>");
        return out;
    }

    standin::OutputCapture capture;
    standin::Application* app = nullptr;
};

} // namespace vogtest
