#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace kelvane {

// Date and time texts of file stamps, each formatted once and shared by the
// walk's threads: formatting with the locale costs far more than a look-up,
// and a scan meets the same days and times over and over. Thread-safe.
class StampTextCache {
public:
    StampTextCache();
    ~StampTextCache();

    void appendDate(std::string& out, uint32_t stamp);
    void appendTime(std::string& out, uint32_t stamp);

private:
    // One text per date or time of day, kept in place so that a look-up
    // reads one small slot; a text too long for it is kept aside.
    struct Slot {
        std::atomic<uint8_t> state{0}; // kEmpty, kFilling, kShort or kLong
        uint8_t size = 0;
        char text[14];
    };
    struct Table {
        explicit Table(uint32_t size);
        ~Table();
        std::unique_ptr<Slot[]> slots;
        std::unique_ptr<std::atomic<std::string*>[]> long_;
        uint32_t size;
    };

    template <class Format> static void append(Table& table, uint32_t index, std::string& out, Format format);

    Table dates_;
    Table times_;
    // The time format is "HH:mm:ss": times are written out directly, as
    // reading a slot of a table too large to stay in the processor's cache
    // costs more.
    bool plainTimes_;
};

} // namespace kelvane
