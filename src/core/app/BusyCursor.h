#pragma once

// The busy cursor for the lifetime of the object, when there is a screen to show it on (the command-line program
// runs the same long operations without one).
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_shown;
};
