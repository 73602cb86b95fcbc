/*
 * The event engine's C interface. Programs load Natalo.so from their program
 * folder with dlopen and look these functions up by name and version node
 * (TICKWELL_VERSION_NODE) with dlvsym; the *Fn typedefs below are their
 * pointer types.
 *
 * Loading the library starts its worker thread in the loading process; unloading
 * it (dlclose) stops the thread. At process exit the worker is not stopped: it
 * ends with the process, so a pending calculation never delays the exit.
 *
 * All times are NataloFileTime values: 100-nanosecond units since 1601-01-01,
 * LOCAL wall-clock time. 0x7FFFFFFFFFFFFFFF means no time.
 */
#ifndef NATALO_TICKWELL_H
#define NATALO_TICKWELL_H

#include <stdint.h>

#include "common/store/ScheduleFields.h"

#if defined(TICKWELL_BUILDING_LIBRARY) && defined(__GNUC__)
#define TICKWELL_API __attribute__((visibility("default")))
#else
#define TICKWELL_API
#endif

/*
 * The version node of every export in the linker map (Tickwell.map). It names
 * the record layout of ScheduleFields and EngineItem and goes up with it: a
 * Natalo.so of another layout, say one an older install left behind, has none
 * of these symbols, and the programs treat it as a missing engine.
 */
#define TICKWELL_VERSION_NODE "NATALO_ENGINE_1"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * The next moment `item` asks for attention, seen from the local clock now: its
 * next occurrence, a pending snooze when that is earlier (unless the item is
 * marked to skip its next occurrence, which is then passed over), an unsnoozed
 * one-time item's start even when past, and for an item without any future
 * occurrence the later of its start and snooze times. m_bEnabled is not looked
 * at. Returns 0 for a null item.
 * [thread-safe] Runs on the caller's thread; touches no file, registry or lock.
 * Ownership: the item stays the caller's and is never modified.
 * Repeat calls: any number, from any thread.
 */
TICKWELL_API uint64_t GetNextEventTime(const ScheduleFields* item);
typedef uint64_t (*GetNextEventTimeFn)(const ScheduleFields* item);

/*
 * Every enabled item of storage.dat with a future occurrence, sorted by that
 * occurrence (m_ftNext), ties by UID. An item marked to skip carries the time
 * after the skipped occurrence; a skipped one-time item carries
 * 0x7FFFFFFFFFFFFFFF and sorts last. *nearest receives how many leading items
 * share the earliest time (counted before the skip marks are applied).
 * Returns 1 in every case. The out-parameters are written only when at least one
 * item is returned: initialise them (0, 0, NULL) before the call. Nothing is
 * returned when the storage is missing, locked for more than 180 s, empty or
 * switched inactive, or holds no enabled item.
 * [thread-safe] Runs on the caller's thread; takes the storage mutex (waiting up
 * to 180 s) but never the calculation mutexes.
 * Ownership: the array, every item and every extension block pass to the caller,
 * who releases them with ReleaseActiveEvents (and with nothing else).
 * Repeat calls: any number; each returns a new array.
 */
TICKWELL_API int32_t GetActiveEvents(int32_t* count, int32_t* nearest, EngineItem*** events);
typedef int32_t (*GetActiveEventsFn)(int32_t* count, int32_t* nearest, EngineItem*** events);

/*
 * Releases what GetActiveEvents returned: pass the count and array it wrote.
 * A NULL array is ignored.
 * [thread-safe] Ownership: the array and its items are gone afterwards.
 * Repeat calls: exactly once per returned array.
 */
TICKWELL_API void ReleaseActiveEvents(int32_t count, EngineItem** events);
typedef void (*ReleaseActiveEventsFn)(int32_t count, EngineItem** events);

/*
 * Asks the worker thread to calculate: it removes the reminder utility's old
 * notifications and arms one that starts the utility at the earliest occurrence
 * of all enabled items (and one for a change of the system time). Returns at
 * once: non-zero when the request was queued, 0 when the worker does not run.
 * [thread-safe] The calculation runs later on the worker thread; calculations of
 * all processes take turns, and a request made while another process already
 * waits to calculate is dropped, since that process will read the newest file.
 * Repeat calls: any number; requests that pile up are served by one calculation.
 */
TICKWELL_API int32_t CalculateEvents(void);
typedef int32_t (*CalculateEventsFn)(void);

#ifdef __cplusplus
}
#endif

#endif
