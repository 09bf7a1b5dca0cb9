#include "reference/surface/point_preparation_reference.h"

#include "base/wide_text.h"
#include "geometry/point_order.h"
#include "host_api.h"
#include "reference/surface/record_reference.h"

#include <algorithm>
#include <cwchar>
#include <fstream>

namespace vogref::surface {

using vog::filePath;
using vog::surface::comparePointsXY;
using vog::surface::comparePointsXYZ;

namespace {

// Merges the sorted runs lo..mid and mid+1..hi. The right run's point goes
// first only when it orders strictly before the left one.
void mergeRuns(std::vector<Point3>& points, std::size_t lo, std::size_t mid, std::size_t hi,
               std::vector<Point3>& scratch) {
    std::size_t left = lo;
    std::size_t right = mid + 1;
    std::size_t out = 0;
    while (left <= mid && right <= hi) {
        if (comparePointsXYZ(points[left], points[right]) == 1)
            scratch[out++] = points[right++];
        else
            scratch[out++] = points[left++];
    }
    while (left <= mid)
        scratch[out++] = points[left++];
    while (right <= hi)
        scratch[out++] = points[right++];
    for (std::size_t i = 0; i < out; ++i)
        points[lo + i] = scratch[i];
}

void sortRun(std::vector<Point3>& points, std::size_t lo, std::size_t hi,
             std::vector<Point3>& scratch) {
    if (lo >= hi) return;
    std::size_t mid = lo + (hi - lo) / 2;
    sortRun(points, lo, mid, scratch);
    sortRun(points, mid + 1, hi, scratch);
    mergeRuns(points, lo, mid, hi, scratch);
}

} // namespace

void sortPoints(std::vector<Point3>& points, std::size_t first, std::size_t last) {
    if (first >= last) return;
    std::vector<Point3> scratch(last - first + 1);
    sortRun(points, first, last, scratch);
}

namespace {

void alert(const std::wstring& text) {
    acedAlert(text.c_str());
}

std::ofstream createFile(const std::wstring& path) {
    return std::ofstream(filePath(path), std::ios::binary | std::ios::trunc);
}

// Closes a written file; false, after an alert, when not all of it reached
// the disk.
bool finishFile(std::ofstream& out, const std::wstring& path) {
    out.close();
    if (!out.fail()) return true;
    alert(L"Error writing " + path + L".  Command terminates.\n");
    return false;
}

// Reads points of a file that has been read completely once already. A
// malformed record (the file changed meanwhile) is alerted and ends the
// reading like the end of the file, with failed set.
struct CheckedReader {
    PointFileReader& reader;
    bool failed = false;

    bool next(Point3& point) {
        switch (reader.read(point)) {
        case PointFileReader::Result::Point:
            return true;
        case PointFileReader::Result::End:
            return false;
        case PointFileReader::Result::Malformed:
            break;
        }
        if (!failed) alert(reader.malformedMessage());
        failed = true;
        return false;
    }
};

} // namespace

int preparePoints(const std::wstring& pointFile, bool useElevationLimits,
                  const std::wstring& minText, const std::wstring& maxText,
                  const SortWorkFiles& files) {
    const double mine = std::wcstod(minText.c_str(), nullptr);
    const double maxe = std::wcstod(maxText.c_str(), nullptr);
    auto keep = [&](const Point3& p) {
        return !useElevationLimits || (mine <= p.z && p.z <= maxe);
    };

    PointFileReader points(pointFile, true);
    if (!points.isOpen()) {
        alert(L"Could not open point file for reading.  Command terminates.\n");
        return RTERROR;
    }

    // Counting pass. It also checks every record, so that a bad point file
    // stops the command before any file is written.
    std::size_t reads = 0;
    for (;;) {
        Point3 point;
        ++reads;
        PointFileReader::Result result = points.read(point);
        if (result == PointFileReader::Result::Point) continue;
        if (result == PointFileReader::Result::Malformed) {
            alert(points.malformedMessage());
            return RTERROR;
        }
        break;
    }
    const std::size_t capacity = reads + 2;

    std::ofstream work = createFile(files.workFile);
    if (!work.is_open()) {
        alert(L"Could not open sort work file #1 for output.  Command terminates.\n");
        return RTERROR;
    }
    std::ofstream sorted = createFile(files.sortedPointFile);
    if (!sorted.is_open()) {
        alert(L"Could not open sorted point file for output.  Command terminates.\n");
        return RTERROR;
    }
    std::vector<Point3> buffer(capacity);

    // Extremes pass. Without any point the extremes stay 0.
    PointExtremes extremes;
    points.rewind();
    CheckedReader input{points};
    Point3 point;
    if (input.next(point)) {
        extremes = {point, point};
        while (input.next(point)) {
            extremes.min = {std::min(extremes.min.x, point.x), std::min(extremes.min.y, point.y),
                            std::min(extremes.min.z, point.z)};
            extremes.max = {std::max(extremes.max.x, point.x), std::max(extremes.max.y, point.y),
                            std::max(extremes.max.z, point.z)};
        }
    }
    if (input.failed) return RTERROR;

    // The first point of the file starts work file #1 on its own.
    points.rewind();
    Point3 first;
    const bool haveFirst = input.next(first);
    if (haveFirst) writePointRecord(work, first);
    if (!finishFile(work, files.workFile)) return RTERROR;
    acutPrintf(L"Optimizing\n");

    // Each pass sorts up to capacity points in memory, merges them with work
    // file #1 into the sorted point file and copies the result back to work
    // file #1 through the elevation filter. The capacity exceeds the number
    // of points, so one pass takes all of them.
    Point3 current;
    bool atEnd = !haveFirst || !input.next(current);
    bool passRan = false;
    while (!atEnd) {
        passRan = true;
        std::size_t n = 0;
        for (;;) {
            buffer[n++] = current;
            if (!input.next(current)) {
                atEnd = true;
                break;
            }
            if (n == capacity) break;
        }
        if (input.failed) return RTERROR;
        if (n >= 2) sortPoints(buffer, 0, n - 1);

        {
            PointFileReader workIn(files.workFile);
            if (!workIn.isOpen()) {
                alert(L"Could not open sort work file #1 for reading.  Command terminates.\n");
                return RTERROR;
            }
            // On equal x and y the work-file point goes first. Exhausted inputs
            // are tracked by flags, so no coordinate value can be mistaken for
            // the end of an input.
            CheckedReader merged{workIn};
            Point3 f;
            bool haveF = merged.next(f);
            std::size_t j = 0;
            while (haveF || j < n) {
                if (haveF && (j == n || comparePointsXY(f, buffer[j]) <= 0)) {
                    writePointRecord(sorted, f);
                    haveF = merged.next(f);
                } else {
                    writePointRecord(sorted, buffer[j++]);
                }
            }
            if (merged.failed) return RTERROR;
            if (!finishFile(sorted, files.sortedPointFile)) return RTERROR;
        }

        {
            std::ofstream back = createFile(files.workFile);
            if (!back.is_open()) {
                alert(L"Could not open sort work file #1 for output.  Command terminates.\n");
                return RTERROR;
            }
            PointFileReader sortedIn(files.sortedPointFile);
            if (!sortedIn.isOpen()) {
                alert(L"Could not open sorted point file for input.  Command terminates.\n");
                return RTERROR;
            }
            CheckedReader copied{sortedIn};
            Point3 p;
            while (copied.next(p))
                if (keep(p)) writePointRecord(back, p);
            if (copied.failed) return RTERROR;
            if (!finishFile(back, files.workFile)) return RTERROR;
        }

        sorted = createFile(files.sortedPointFile);
        if (!sorted.is_open()) {
            alert(L"Could not open sorted point file for output.  Command terminates.\n");
            return RTERROR;
        }
    }
    // A file of a single point runs no pass; the filter still applies to it.
    if (!passRan && haveFirst && !keep(first)) {
        std::ofstream emptied = createFile(files.workFile);
        if (!emptied.is_open()) {
            alert(L"Could not open sort work file #1 for output.  Command terminates.\n");
            return RTERROR;
        }
        if (!finishFile(emptied, files.workFile)) return RTERROR;
    }
    sorted.close();

    if (vogref::surface::removeDuplicatePoints(extremes, files) != 0) {
        alert(L"Error eliminating duplicate points.  Command terminates.\n");
        return RTERROR;
    }
    return RTNORM;
}

int removeDuplicatePoints(const PointExtremes& extremes, const SortWorkFiles& files) {
    PointFileReader work(files.workFile);
    if (!work.isOpen()) {
        alert(L"Could not open sort work file #1 file for reading.  Command terminates.\n");
        return RTERROR;
    }
    std::ofstream sorted = createFile(files.sortedPointFile);
    if (!sorted.is_open()) {
        alert(L"Could not open sorted point file for writing.  Program will abend.\n");
        return RTERROR;
    }
    writePointRecord(sorted, extremes.min);
    writePointRecord(sorted, extremes.max);

    CheckedReader input{work};
    Point3 previous;
    if (input.next(previous)) {
        writePointRecord(sorted, previous);
        Point3 point;
        while (input.next(point)) {
            if (comparePointsXY(previous, point) != 0) writePointRecord(sorted, point);
            previous = point;
        }
    }
    if (input.failed) return RTERROR;
    if (!finishFile(sorted, files.sortedPointFile)) return RTERROR;
    return 0;
}

} // namespace vogref::surface
