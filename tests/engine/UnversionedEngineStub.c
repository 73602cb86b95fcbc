/* The engine's export names with no version node, as a Natalo.so built for
 * another record layout would carry them. Never called. */
#include <stdint.h>

uint64_t GetNextEventTime(const void* item) { return item ? 1 : 0; }
int32_t GetActiveEvents(int32_t* count, int32_t* nearest, void*** events) {
  return count && nearest && events;
}
void ReleaseActiveEvents(int32_t count, void** events) { (void)count, (void)events; }
int32_t CalculateEvents(void) { return 0; }
