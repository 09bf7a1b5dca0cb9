#include "surface/prepare/point_preparation.h"

#include "base/progress_steps.h"
#include "base/wide_text.h"
#include "geometry/point_order.h"
#include "surface/files/point_file.h"
#include "surface/prepare/point_sort.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vog::surface {

namespace {

std::ofstream createFile(const std::wstring& path) {
    return std::ofstream(filePath(path), std::ios::binary | std::ios::trunc);
}

// Closes a written file; false, after an alert, when not all of it reached
// the disk.
bool finishFile(std::ofstream& out, const std::wstring& path, Messages& messages) {
    out.close();
    if (!out.fail()) return true;
    messages.alert(L"Error writing " + path + L".  Command terminates.\n");
    return false;
}

// Reads points of a file that has been read completely once already. A
// malformed record (the file changed meanwhile) is alerted and ends the
// reading like the end of the file, with failed set.
struct CheckedReader {
    PointFileReader& reader;
    Messages& messages;
    bool failed = false;

    bool next(Point3& point) {
        switch (reader.read(point)) {
        case PointFileReader::Result::Point:
            return true;
        case PointFileReader::Result::End:
            return false;
        case PointFileReader::Result::Malformed:
            if (!failed) messages.alert(reader.malformedMessage());
            break;
        case PointFileReader::Result::Unreadable:
            if (!failed)
                messages.alert(
                    L"Could not open sort work file #1 file for reading.  Command terminates.\n");
            break;
        }
        failed = true;
        return false;
    }
};

// Text of a file gathered in memory and written a large block at a time.
struct BlockWriter {
    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

    std::ofstream& out;
    std::string text;

    void flushIfFull() {
        if (text.size() < kBlockSize) return;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    }
    void flush() {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
    }
};

std::uintmax_t fileSize(const std::wstring& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(filePath(path), error);
    return error ? 0 : size;
}

} // namespace

// The points pass through memory in the order the merge through the work
// files gives them, so both files come out as that merge writes them: the
// first point of the file stands in work file #1 alone while all the others
// are sorted stably by x, y and z; the merge puts it before the first of them
// that it does not order after in x and y; the elevation filter then takes the
// merged points, and duplicate removal the filtered ones. The values are those
// the files hold, as the reader rounds every point to six decimals and
// rounding again changes nothing.
Status preparePoints(const std::wstring& pointFile, std::optional<ElevationLimits> limits,
                     const SortWorkFiles& files, const Seam& seam) {
    auto keep = [&](const Point3& p) {
        return !limits || (limits->lowest <= p.z && p.z <= limits->highest);
    };
    Messages& messages = seam.messages;

    // A folder, a device or a FIFO is not opened, and a read that fails
    // ends the command the same way: nothing is written.
    PointFileReader reader(pointFile, FileMaker::User);
    if (!reader.isOpen()) {
        messages.alert(L"Could not open point file for reading.  Command terminates.\n");
        return Status::failed;
    }
    // The meter runs over the reading, in bytes of the file, and then over
    // the writing, in points scaled to the same amount.
    const std::uintmax_t bytes = fileSize(pointFile);
    StepMeter progress(seam.progress, L"Optimizing", 2 * static_cast<std::uint64_t>(bytes), 4096);

    // The one reading of the point file. It checks every record, so that a
    // bad point file stops the command before any file is written.
    std::vector<Point3> points;
    for (;;) {
        Point3 point;
        const PointFileReader::Result result = reader.read(point);
        if (result == PointFileReader::Result::Point) {
            points.push_back(point);
            progress.advance(reader.bytesRead());
            continue;
        }
        if (result == PointFileReader::Result::Malformed) {
            messages.alert(reader.malformedMessage());
            return Status::failed;
        }
        if (result == PointFileReader::Result::Unreadable) {
            messages.alert(L"Could not open point file for reading.  Command terminates.\n");
            return Status::failed;
        }
        break;
    }

    std::ofstream work = createFile(files.workFile);
    if (!work.is_open()) {
        messages.alert(L"Could not open sort work file #1 for output.  Command terminates.\n");
        return Status::failed;
    }
    std::ofstream sorted = createFile(files.sortedPointFile);
    if (!sorted.is_open()) {
        messages.alert(L"Could not open sorted point file for output.  Command terminates.\n");
        return Status::failed;
    }

    // Without any point the extremes stay 0.
    PointExtremes extremes;
    if (!points.empty()) {
        extremes = {points.front(), points.front()};
        for (const Point3& point : points) {
            extremes.min = {std::min(extremes.min.x, point.x), std::min(extremes.min.y, point.y),
                            std::min(extremes.min.z, point.z)};
            extremes.max = {std::max(extremes.max.x, point.x), std::max(extremes.max.y, point.y),
                            std::max(extremes.max.z, point.z)};
        }
    }
    messages.print(L"Optimizing\n");

    if (points.size() >= 3) sortPoints(points, 1, points.size() - 1);
    if (points.size() >= 2) {
        // On equal x and y the first point of the file goes first.
        const Point3 first = points.front();
        auto at = std::partition_point(points.begin() + 1, points.end(), [&](const Point3& p) {
            return comparePointsXY(first, p) > 0;
        });
        std::rotate(points.begin(), points.begin() + 1, at);
    }

    BlockWriter workOut{work, {}};
    BlockWriter sortedOut{sorted, {}};
    workOut.text.reserve(BlockWriter::kBlockSize + 256);
    sortedOut.text.reserve(BlockWriter::kBlockSize + 256);
    appendPointRecord(sortedOut.text, extremes.min);
    appendPointRecord(sortedOut.text, extremes.max);
    const Point3* previous = nullptr;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point3& point = points[i];
        progress.advance(bytes + bytes * i / points.size());
        if (!keep(point)) continue;
        const std::size_t line = workOut.text.size();
        appendPointRecord(workOut.text, point);
        // A point whose x and y equal those of the point before it in the
        // filtered order is a duplicate.
        if (!previous || comparePointsXY(*previous, point) != 0)
            sortedOut.text.append(workOut.text, line);
        previous = &point;
        workOut.flushIfFull();
        sortedOut.flushIfFull();
    }
    workOut.flush();
    if (!finishFile(work, files.workFile, messages)) return Status::failed;
    sortedOut.flush();
    if (!finishFile(sorted, files.sortedPointFile, messages)) {
        messages.alert(L"Error eliminating duplicate points.  Command terminates.\n");
        return Status::failed;
    }
    return Status::ok;
}

Status removeDuplicatePoints(const PointExtremes& extremes, const SortWorkFiles& files,
                             Messages& messages) {
    PointFileReader work(files.workFile);
    if (!work.isOpen()) {
        messages.alert(
            L"Could not open sort work file #1 file for reading.  Command terminates.\n");
        return Status::failed;
    }
    std::ofstream sorted = createFile(files.sortedPointFile);
    if (!sorted.is_open()) {
        messages.alert(L"Could not open sorted point file for writing.  Program will abend.\n");
        return Status::failed;
    }
    writePointRecord(sorted, extremes.min);
    writePointRecord(sorted, extremes.max);

    CheckedReader input{work, messages};
    Point3 previous;
    if (input.next(previous)) {
        writePointRecord(sorted, previous);
        Point3 point;
        while (input.next(point)) {
            if (comparePointsXY(previous, point) != 0) writePointRecord(sorted, point);
            previous = point;
        }
    }
    if (input.failed) return Status::failed;
    if (!finishFile(sorted, files.sortedPointFile, messages)) return Status::failed;
    return Status::ok;
}

} // namespace vog::surface
