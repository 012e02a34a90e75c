// A stand-in for the desktop's opener (xdg-open) while it lives: PATH names only its
// own folder, which holds an opener that opens (notes the address and ends well), one
// that finds no browser (ends with xdg-open's code 3), or none at all.
#pragma once

#include <string>

namespace testsupport {

class StandInOpener {
public:
    enum Kind { kNone, kFindsNoBrowser, kOpens };
    explicit StandInOpener(Kind kind);
    ~StandInOpener();
    StandInOpener(const StandInOpener&) = delete;
    StandInOpener& operator=(const StandInOpener&) = delete;

    // The address the opener was given (either kind); empty until it has run.
    std::string Opened() const;

private:
    std::string m_dir;
    std::string m_savedPath;
    bool m_hadPath = false;
};

}  // namespace testsupport
