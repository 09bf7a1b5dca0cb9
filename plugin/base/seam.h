// The seam between the plug-in's algorithms and the host: what a step may
// tell the user, how it shows its progress, and how it learns that the user
// wants it to stop. The algorithms take these as parameters; only the
// command and dialog files and the application layer (app/) reach the host,
// where host_seam.h implements them with the host's operations. Tests pass
// their own recording implementations.
#pragma once

#include <string>

namespace vog {

// Messages for the user: an alert is a box the user dismisses, a print goes
// to the command line as it stands (line feeds included).
class Messages {
  public:
    virtual void alert(const std::wstring& text) = 0;
    virtual void print(const std::wstring& text) = 0;

  protected:
    ~Messages() = default;
};

// The host's progress meter: shown with a label over positions 0 to range,
// moved to a position, and taken away.
class Progress {
  public:
    virtual void show(const std::wstring& label, int range) = 0;
    virtual void move(int position) = 0;
    virtual void hide() = 0;

  protected:
    ~Progress() = default;
};

// The break key: true once the user has asked the running step to stop.
class Cancellation {
  public:
    virtual bool requested() = 0;

  protected:
    ~Cancellation() = default;
};

// The three together, as a step takes them.
struct Seam {
    Messages& messages;
    Progress& progress;
    Cancellation& cancellation;
};

} // namespace vog
