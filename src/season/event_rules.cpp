#include "season/event_rules.h"

#include <cmath>
#include <utility>

#include "common/numbers.h"

namespace gm::season {

namespace {

// The value of a text that passed the numeric test.
double valueOf(std::string_view text)
{
    return common::leadingNumber(text);
}

bool inRow(int row)
{
    return row >= 0 && row < kTableRows;
}

}  // namespace

std::optional<EventDate> weekAfter(std::string_view day, std::string_view month)
{
    if (!common::isNumeric(month)) {
        return std::nullopt;
    }
    const double monthValue = valueOf(month);
    if (monthValue < 1.0 || monthValue > 12.0) {
        return std::nullopt;
    }
    // A typed fraction (a month of 1.5 passes the checks) picks its table
    // entry by rounding half to even, as an array index does: 1.5 is
    // February, 2.5 is February too.
    const int monthIndex = static_cast<int>(std::nearbyint(monthValue)) - 1;
    const int daysInMonth = kDaysPerMonth[static_cast<std::size_t>(monthIndex)];

    EventDate next{common::plainDecimal(common::leadingNumber(day) + 7.0), std::string(month)};
    const double dayValue = valueOf(next.day);
    if (dayValue > daysInMonth) {
        next.day = common::plainDecimal(dayValue - daysInMonth);
        next.month = monthValue + 1.0 > 12.0 ? "1" : common::plainDecimal(monthValue + 1.0);
    }
    return next;
}

std::string_view checkEvent(int eventCount, const EventFields& fields)
{
    // The table has room for 99 events; the count is checked for every
    // save, an edit of an existing event included.
    if (eventCount > 98) {
        return "Too many race events.";
    }
    if (!common::isNumeric(fields.number)) {
        return "Please input a number for event number.";
    }
    if (!common::isNumeric(fields.day)) {
        return "Please input a number for day.";
    }
    if (!common::isNumeric(fields.month)) {
        return "Please input a number for month.";
    }
    if (!common::isNumeric(fields.laps)) {
        return "Please input a number for laps.";
    }
    const double day = valueOf(fields.day);
    if (day < 1.0 || day > 31.0) {
        return "Please input a valid day (1-31).";
    }
    const double month = valueOf(fields.month);
    if (month < 1.0 || month > 12.0) {
        return "Please input a valid month (1-12).";
    }
    if (valueOf(fields.laps) < 1.0) {
        return "The number of laps is invalid.";
    }
    if (fields.track.empty()) {
        return "Please select a track.";
    }
    return {};
}

void deleteEventRow(EventTable& table, int row, int eventCount)
{
    if (!inRow(row)) {
        return;
    }
    // Row eventCount (the first after the events) is empty, so copying it
    // up empties the last used row.
    for (int i = row; i < eventCount && i + 1 < kTableRows; ++i) {
        EventRow& to = table[static_cast<std::size_t>(i)];
        const EventRow& from = table[static_cast<std::size_t>(i + 1)];
        for (std::size_t c = kDay; c < kColumns; ++c) {
            to[c] = from[c];
        }
    }
}

void swapEventRows(EventTable& table, int a, int b)
{
    if (!inRow(a) || !inRow(b)) {
        return;
    }
    EventRow& first = table[static_cast<std::size_t>(a)];
    EventRow& second = table[static_cast<std::size_t>(b)];
    for (std::size_t c = kDay; c < kColumns; ++c) {
        std::swap(first[c], second[c]);
    }
}

}  // namespace gm::season
