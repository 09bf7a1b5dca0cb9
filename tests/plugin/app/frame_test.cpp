// The plug-in frame: what the host sees of the application object and the
// LISP function table.
#include "support/host_fixture.h"
#include "support/run_host.h"

#include "app/lisp_table.h"

#include <dlfcn.h>
#include <filesystem>

namespace {

using vogtest::PluginTest;

const wchar_t* const kTableOrder[] = {L"ktexsec", L"contours", L"rmesh",  L"triangulate",
                                      L"vogopen", L"vogset",   L"vogvar", L"showtin",
                                      L"volumes", L"lvogopen"};

using FrameTest = PluginTest;

TEST_F(FrameTest, InitialisationUnlocksAndDeclaresMultipleDocuments) {
    EXPECT_TRUE(app->unlocked);
    EXPECT_TRUE(app->mdiAware);
}

TEST_F(FrameTest, EveryDrawingGetsTheTenFunctionsWithFixedCodes) {
    standin::Drawing& second = standin::newDrawing();
    for (const auto& drawing : standin::drawings()) {
        ASSERT_EQ(drawing->functions.size(), 10u);
        for (int code = 0; code < 10; ++code) {
            auto found = drawing->functions.find(kTableOrder[code]);
            ASSERT_NE(found, drawing->functions.end()) << standin::toUtf8(kTableOrder[code]);
            EXPECT_EQ(found->second.code, code);
            EXPECT_EQ(found->second.app, app);
            EXPECT_NE(found->second.direct, nullptr) << "registered for direct calls";
        }
    }
    // The second drawing shares the project: opened in one, seen in the other.
    std::string folder = vogtest::freshFolder("frame");
    call(L"lvogopen", {standin::fromUtf8(folder + "/site.dat")});
    standin::makeCurrent(*standin::drawings().front());
    EXPECT_EQ(strings(call(L"vogvar")).at(1), standin::fromUtf8(folder + "/site.dat"));
    standin::makeCurrent(second);
    EXPECT_EQ(strings(call(L"vogvar")).at(1), standin::fromUtf8(folder + "/site.dat"));
}

TEST_F(FrameTest, UnloadingADrawingUndefinesItsFunctions) {
    standin::sendMessage(*app, AcRx::kUnloadDwgMsg);
    EXPECT_TRUE(standin::currentDrawing().functions.empty());
}

TEST_F(FrameTest, DispatchByFunctionCodeReachesTheTableEntry) {
    // Without direct registration the host dispatches through kInvkSubrMsg.
    for (auto& [name, function] : standin::currentDrawing().functions)
        function.direct = nullptr;
    standin::CallResult result = call(L"vogvar");
    EXPECT_EQ(result.kind, standin::CallResult::Nil);
    ASSERT_EQ(standin::alerts().size(), 1u);
    EXPECT_EQ(standin::alerts()[0], L"You must open a project first!");
}

TEST_F(FrameTest, CodesOutsideTheTableCallNothing) {
    standin::ExternalFunction stray;
    stray.app = app;
    for (int code : {-1, 10, 11, 1000}) {
        stray.code = code;
        standin::currentDrawing().functions[L"stray"] = stray;
        standin::CallResult result = call(L"stray");
        EXPECT_EQ(result.kind, standin::CallResult::None) << code;
    }
    // No call pending at all: the function code is -1.
    EXPECT_EQ(acedGetFunCode(), -1);
    EXPECT_EQ(standin::sendMessage(*app, AcRx::kInvkSubrMsg), AcRx::kRetOK);
    EXPECT_TRUE(standin::alerts().empty());
    EXPECT_TRUE(capture.text().empty());
}

TEST_F(FrameTest, EveryMessageCodeIsAnsweredWithRetOK) {
    for (int msg : {0, 6, 7, 15, 16, 17, 99})
        EXPECT_EQ(vog::entryPoint(static_cast<AcRx::AppMsgCode>(msg), app), AcRx::kRetOK) << msg;
    EXPECT_EQ(standin::currentDrawing().functions.size(), 10u);
    EXPECT_TRUE(standin::alerts().empty());
}

TEST_F(FrameTest, FunctionsWithoutAValueReturnVoidAndVogvarNil) {
    for (const wchar_t* name : kTableOrder) {
        if (std::wstring_view(name) == L"vogopen") continue; // asks in a dialog
        standin::clearAlerts();
        standin::CallResult result = call(name);
        if (std::wstring_view(name) == L"vogvar")
            EXPECT_EQ(result.kind, standin::CallResult::Nil);
        else
            EXPECT_EQ(result.kind, standin::CallResult::Void) << standin::toUtf8(name);
    }
}

TEST_F(FrameTest, UnloadSavesTheOpenProjectOnly) {
    std::string folder = vogtest::freshFolder("unload");
    standin::unloadApplication(*app);
    EXPECT_TRUE(std::filesystem::is_empty(folder));

    app = standin::attachApplication(vog::entryPoint, L"vog");
    call(L"lvogopen", {standin::fromUtf8(folder + "/site.dat")});
    EXPECT_FALSE(std::filesystem::exists(folder + "/site.set")) << "written at unload, not at open";
    standin::unloadApplication(*app);
    EXPECT_TRUE(std::filesystem::exists(folder + "/site.set"));
}

TEST(FrameExports, ModuleExportsTheTwoEntryPointsUnmangled) {
    void* module = dlopen(VOG_BIN_DIR "/vog.arx", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    auto version = reinterpret_cast<Adesk::UInt32 (*)()>(dlsym(module, "acrxGetApiVersion"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), 0x190000u);
    EXPECT_NE(dlsym(module, "acrxEntryPoint"), nullptr);
    // Nothing of the plug-in's own logic is visible outside the module.
    EXPECT_EQ(dlsym(module, "_ZN3vog10entryPointEN4AcRx10AppMsgCodeEPv"), nullptr);
    dlclose(module);
}

} // namespace
