#pragma once
// A stored schedule item: the shared schedule fields plus what the programs keep
// about an item at run time. Date entries derive from it and add a block of
// their own after the base record (override Read and Write, call the base
// first, then read or write the block, e.g. with ReadExtensionBlock).
#include <cstdint>
#include <memory>
#include <string>

#include "common/store/BinaryReader.h"
#include "common/store/BinaryWriter.h"
#include "common/store/ScheduleFields.h"
#include "platform/clock/Clock.h"

class StorageEditor;

// Pictures of the kinds in the application's lists; 0 is no picture.
enum StorageIcon : int {
  StorageIconNone = 0,
  StorageIconWeekly = 1,
  StorageIconOnce = 2,
  StorageIconNext24Hours = 3,
  StorageIconMonthly = 4,
};

// How Read found the record it read last.
enum class RecordState : std::uint8_t {
  Whole,
  // Part of the record could not be read; what was missing reads as empty.
  Repaired,
  // The record could not be used; Read returned false, but the data is at the
  // start of the next record, so loading goes on there.
  Skipped,
};

struct StatusIconSize {
  int cx = 12;
  int cy = 12;
};

class StorageItem : public ScheduleFields {
 public:
  // Defaults: start now (local) to the minute, all weekdays, enabled, no UID,
  // no skip or snooze, all months, monthly on day 1.
  StorageItem(std::uint32_t kind, bool showSeconds);
  // The same defaults with the given start (to the minute) instead of now:
  // an item about to be read from a file needs no clock.
  StorageItem(std::uint32_t kind, bool showSeconds, platform::FileTime start);
  virtual ~StorageItem() = default;
  StorageItem(const StorageItem&) = delete;
  StorageItem& operator=(const StorageItem&) = delete;

  // The base record; true when every byte was written.
  virtual bool Write(BinaryWriter& writer) const;
  // The base record; false at the end of the data or on a short read. Records
  // in m_dwStatePos where the state block lies. Derived items whose records
  // carry their own length report a damaged record in m_eReadState.
  virtual bool Read(BinaryReader& reader);

  // The day phrase of a Monthly item ("15", "last day", "second Tuesday",
  // "third working day"); empty for an unknown monthly type or weekday.
  virtual std::u16string GetMonthDayText() const;
  // Texts for lists. The base item has no name; its detail line describes the
  // recurrence: time, kind word and the marked weekdays, months or date.
  virtual std::u16string GetDisplayName() const;
  virtual std::u16string GetDetailText() const;
  virtual int GetIcon() const;
  virtual int GetSelectedIcon() const;
  virtual int GetStatusIconCount() const;
  virtual StatusIconSize GetStatusIconSize() const;
  virtual int GetStatusIcon(int index) const;

  // Opens this item's editor as a modal dialog over the window `parent` (a
  // QWidget* of the program that shows it; the store never looks at it).
  // 1 when the item was saved, 2 when the user cancelled or no editor exists.
  // The base item runs the editor CreateEditor makes.
  virtual int Edit(void* parent);
  // The plain item editor (StorageEditorHook.h) for the kinds Weekly, Once,
  // Next24Hours and Monthly; nullptr when the program registered none.
  virtual std::unique_ptr<StorageEditor> CreateEditor();

  // For Once and Next24Hours items: true when now (local) is later than the
  // snooze time when one is set, else later than the start. False for other kinds.
  bool IsExpired() const;

  // The schedule fields as the engine's C interface takes them.
  const ScheduleFields* Fields() const { return this; }
  ScheduleFields* Fields() { return this; }

  // File offset of the state block, recorded by Read.
  std::uint32_t m_dwStatePos = 0;
  // Yes or no, and never stored: a byte, so that an entry's first fields use
  // the room after it.
  std::uint8_t m_bShowSeconds = 0;
  // Set by Read; never stored.
  RecordState m_eReadState = RecordState::Whole;
};
