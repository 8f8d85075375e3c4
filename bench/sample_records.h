// Realistic records for the decoder benchmarks: an event and a to-do with
// an organizer, three attendees with lists, two alarms and ten list
// elements, a calendar with its lists, and an alarm.
#pragma once

#include "owned_records.h"

namespace qel2::bench {

qel2::EventPtr SampleEvent();
qel2::ToDoPtr SampleToDo();
qel2::CalPropsPtr SampleCalendar();
qel2::AlarmPtr SampleAlarm(int index);

}  // namespace qel2::bench
