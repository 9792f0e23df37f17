// The rules of the event commands of the season scheduler: the date
// suggested for a new event, the checks before an event is stored, and the
// row moves of Delete Event, Move Up and Move Down.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "season/season_file.h"

namespace gm::season {

// Days per month, January first. February always has 28: schedules carry no
// year arithmetic.
inline constexpr std::array<std::int16_t, 12> kDaysPerMonth{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

struct EventDate {
    std::string day;
    std::string month;
};

// The date one week after an event on that day and month (texts as kept in
// the table). The month text is kept as it stands unless the week runs into
// the next month. Nothing when the month text is not a number from 1 to 12,
// since then there is no month to count from; a fraction counts from the
// month it rounds to (half to even).
std::optional<EventDate> weekAfter(std::string_view day, std::string_view month);

// What the event fields hold when Save Event is pressed.
struct EventFields {
    std::string number;
    std::string day;
    std::string month;
    std::string laps;
    std::string track;
};

// The checks of Save Event in their order; the message of the first that
// fails, or empty when the event may be stored. `eventCount` is the number
// of events of the schedule.
std::string_view checkEvent(int eventCount, const EventFields& fields);

// Deletes the event of `row`: the events after it move up one row (columns 1
// to 6; the numbers stay with their rows) and the last used row ends empty.
void deleteEventRow(EventTable& table, int row, int eventCount);

// Exchanges the events of two rows (columns 1 to 6; the numbers stay).
void swapEventRows(EventTable& table, int a, int b);

}  // namespace gm::season
