#include "duplic/stamptextcache.h"

#include "common/stamptext.h"

#include <QByteArray>

#include <cstring>

namespace kelvane {

namespace {

enum : uint8_t { kEmpty, kFilling, kShort, kLong };

// Dates by their packed half (year, month, day), times by the second of the
// day (in 2-second steps); the last slot of each is the invalid stamp 0.
constexpr uint32_t kDateSlots = 0x10000 + 1;
constexpr uint32_t kTimeSlots = 24 * 60 * 30 + 1;

uint32_t timeIndex(uint32_t stamp)
{
    const uint32_t hour = (stamp >> 11) & 0x1F;
    const uint32_t minute = (stamp >> 5) & 0x3F;
    const uint32_t halfSecond = stamp & 0x1F;
    if (stamp == 0 || hour > 23 || minute > 59 || halfSecond > 29)
        return kTimeSlots - 1;
    return (hour * 60 + minute) * 30 + halfSecond;
}

} // namespace

StampTextCache::Table::Table(uint32_t n)
    : slots(new Slot[n]), long_(new std::atomic<std::string*>[n]), size(n)
{
    for (uint32_t i = 0; i < n; ++i)
        long_[i].store(nullptr, std::memory_order_relaxed);
}

StampTextCache::Table::~Table()
{
    for (uint32_t i = 0; i < size; ++i)
        delete long_[i].load(std::memory_order_relaxed);
}

StampTextCache::StampTextCache()
    : dates_(kDateSlots), times_(kTimeSlots), plainTimes_(userLongTimeFormat() == QLatin1String("HH:mm:ss"))
{
}

StampTextCache::~StampTextCache() = default;

// A stamp made from a real file time is either 0 or valid in both halves, so
// each half decides its own text.

void StampTextCache::appendDate(std::string& out, uint32_t stamp)
{
    append(dates_, stamp == 0 ? kDateSlots - 1 : stamp >> 16, out, [stamp] { return fileDateText(stamp); });
}

void StampTextCache::appendTime(std::string& out, uint32_t stamp)
{
    const uint32_t index = timeIndex(stamp);
    if (plainTimes_ && index != kTimeSlots - 1) {
        const uint32_t second = index % 30 * 2;
        const uint32_t minute = index / 30 % 60;
        const uint32_t hour = index / (30 * 60);
        const char text[8] = {char('0' + hour / 10),   char('0' + hour % 10),   ':',
                              char('0' + minute / 10), char('0' + minute % 10), ':',
                              char('0' + second / 10), char('0' + second % 10)};
        out.append(text, sizeof text);
        return;
    }
    append(times_, index, out, [stamp] { return fileTimeText(stamp); });
}

template <class Format>
void StampTextCache::append(Table& table, uint32_t index, std::string& out, Format format)
{
    Slot& slot = table.slots[index];
    const uint8_t state = slot.state.load(std::memory_order_acquire);
    if (state == kShort) {
        out.append(slot.text, slot.size);
        return;
    }
    if (state == kLong) {
        out.append(*table.long_[index].load(std::memory_order_acquire));
        return;
    }
    const QByteArray text = format().toUtf8();
    out.append(text.constData(), size_t(text.size()));
    // The first thread to get here keeps the text; the others use their own.
    uint8_t empty = kEmpty;
    if (!slot.state.compare_exchange_strong(empty, kFilling, std::memory_order_acquire))
        return;
    if (size_t(text.size()) <= sizeof slot.text) {
        std::memcpy(slot.text, text.constData(), size_t(text.size()));
        slot.size = uint8_t(text.size());
        slot.state.store(kShort, std::memory_order_release);
    } else {
        table.long_[index].store(new std::string(text.constData(), size_t(text.size())),
                                 std::memory_order_release);
        slot.state.store(kLong, std::memory_order_release);
    }
}

} // namespace kelvane
