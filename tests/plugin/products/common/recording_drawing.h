// A drawing and a seam that record what the products hand them, so that the
// products run with no host at all: the entities as plain records, the
// messages, the meter's moves, and a break key that is pressed at a chosen
// poll.
#pragma once

#include "base/seam.h"
#include "products/common/drawing.h"

#include <string>
#include <vector>

namespace vogtest {

struct DrawnRecord {
    enum class Kind { layer, polyline, vertex, polylineEnd, face } kind;
    vog::products::PolylineKind polylineKind = vog::products::PolylineKind::flat;
    std::wstring layer;
    int colour = 0;
    double width = 0;
    std::vector<vog::surface::Point3> points; // the start, the vertex or the corners
};

class RecordingDrawing final : public vog::products::Drawing {
  public:
    vog::products::Made layer(const std::wstring& name, int colour) override {
        return take({DrawnRecord::Kind::layer, {}, name, colour, 0, {}});
    }
    vog::products::Made polyline(vog::products::PolylineKind kind, const std::wstring& layer,
                                 const vog::surface::Point3& start, double width) override {
        return take({DrawnRecord::Kind::polyline, kind, layer, 0, width, {start}});
    }
    vog::products::Made vertex(vog::products::PolylineKind kind,
                               const vog::surface::Point3& at) override {
        return take({DrawnRecord::Kind::vertex, kind, {}, 0, 0, {at}});
    }
    vog::products::Made polylineEnd() override {
        return take({DrawnRecord::Kind::polylineEnd, {}, {}, 0, 0, {}});
    }
    vog::products::Made face(const std::wstring& layer, const vog::surface::Point3& a,
                             const vog::surface::Point3& b,
                             const vog::surface::Point3& c) override {
        return take({DrawnRecord::Kind::face, {}, layer, 0, 0, {a, b, c}});
    }
    void eraseLayer(const std::wstring& layer) override { erased.push_back(layer); }
    void reportFailure(const std::wstring& text) override { failures.push_back(text); }

    std::vector<DrawnRecord> records;
    std::vector<std::wstring> erased;
    std::vector<std::wstring> failures;
    // The record with this number (from 1) is answered so; 0 never.
    std::size_t failAt = 0;
    vog::products::Made failure = vog::products::Made::refused;

  private:
    vog::products::Made take(DrawnRecord record) {
        if (records.size() + 1 == failAt) return failure;
        records.push_back(std::move(record));
        return vog::products::Made::made;
    }
};

class RecordingSeam final : public vog::Messages, public vog::Progress, public vog::Cancellation {
  public:
    void alert(const std::wstring& text) override { alerts.push_back(text); }
    void print(const std::wstring& text) override { prints.push_back(text); }
    void show(const std::wstring& label, int range) override {
        labels.push_back(label);
        this->range = range;
        shown = true;
    }
    void move(int position) override { positions.push_back(position); }
    void hide() override {
        ++hides;
        shown = false;
    }
    bool requested() override { return ++polls == breakAtPoll; }

    vog::Seam seam() { return {*this, *this, *this}; }

    std::vector<std::wstring> alerts, prints, labels;
    std::vector<int> positions;
    int range = 0;
    bool shown = false;
    int hides = 0;
    int polls = 0;
    int breakAtPoll = 0; // the poll (from 1) that reports the break key; 0 never
};

} // namespace vogtest
