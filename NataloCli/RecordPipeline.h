#pragma once
// The records of the storage file, worked on by two threads while the file
// is read. The reading thread reads the file into a few pieces and notes
// where each record lies, in batches; two worker threads make each batch's
// result (say, decode its records and write their events); a fourth thread
// takes the results in the file's order, once a check of the file's own (when
// one is given) found it whole. A piece is read into again once every batch
// in it was taken, and the results' memory is used again.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "common/entries/FeskList.h"

template <typename Result>
class RecordPipeline {
 public:
  // What a worker makes of a batch of records: `result` is empty or as the
  // last take left it. Counts the records whose texts did not end.
  using Work = std::function<void(std::span<const FeskList::RecordPlace>, Result& result, int& damaged)>;

  // Each worker thread calls `makeWork` for a work of its own. `check`, when
  // given, runs on the taking thread before the first take; false abandons
  // the results.
  RecordPipeline(const std::function<Work()>& makeWork, std::function<bool()> check,
                 std::function<void(Result&)> take)
      : m_check(std::move(check)), m_take(std::move(take)) {
    for (std::size_t i = 0; i < kResultsInHand; ++i) m_spare.push_back(std::make_unique<Result>());
    for (std::thread& worker : m_workers) worker = std::thread([this, makeWork] { MakeResults(makeWork()); });
    m_taker = std::thread([this] { TakeResults(); });
  }
  ~RecordPipeline() { End(false); }
  RecordPipeline(const RecordPipeline&) = delete;
  RecordPipeline& operator=(const RecordPipeline&) = delete;

  // A piece for the reading (FeskList::PieceSource): the records of the
  // last one go into batches of their own. Waits while every piece holds
  // records whose results were not taken yet.
  std::uint8_t* NewPiece() {
    if (m_filling) Seal();
    std::unique_lock lock(m_mutex);
    if (m_reading >= 0) Release(static_cast<std::size_t>(m_reading));
    m_changed.wait(lock, [this] { return !m_free.empty() || m_pieces.size() < kPieces || m_abandoned; });
    if (m_free.empty() && m_pieces.size() == kPieces) {
      // Abandoned: nothing is worked on any more, and the reading goes on
      // in the same piece.
      ++m_uses[static_cast<std::size_t>(m_reading)];
      return m_pieces[static_cast<std::size_t>(m_reading)].get();
    }
    if (m_free.empty()) {
      m_pieces.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(FeskList::kRecordPieceBytes));
      m_uses.push_back(0);
      m_free.push_back(m_pieces.size() - 1);
    }
    m_reading = static_cast<int>(m_free.back());
    m_free.pop_back();
    m_uses[static_cast<std::size_t>(m_reading)] = 1;  // the reading's own
    return m_pieces[static_cast<std::size_t>(m_reading)].get();
  }

  // A record of the reading (FeskList::PlaceVisitor), in the piece it last
  // asked for.
  void Take(const FeskList::RecordPlace& place) {
    if (!m_filling) {
      m_filling = std::make_unique<Batch>();
      m_filling->places.reserve(kBatchRecords);
    }
    m_filling->places.push_back(place);
    if (m_filling->places.size() == kBatchRecords) Seal();
  }

  // The reading ended; the results are taken when `whole`. Waits until all
  // were taken; false when they were not (the check found the file damaged).
  bool End(bool whole) {
    if (m_taker.joinable()) {
      if (m_filling) Seal();
      {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
        if (!whole) m_abandoned = true;
        m_changed.notify_all();
      }
      for (std::thread& worker : m_workers) worker.join();
      m_taker.join();
    }
    return !m_abandoned;
  }
  // The records whose texts did not end, once ended.
  int Damaged() const { return m_damaged; }

 private:
  static constexpr std::size_t kBatchRecords = 1024;
  // Results made and not yet taken, at most.
  static constexpr std::size_t kResultsInHand = 4;
  // Pieces of the file in hand, at most: about 3 MiB.
  static constexpr std::size_t kPieces = 3;

  struct Batch {
    std::vector<FeskList::RecordPlace> places;
    std::size_t piece = 0;
    std::unique_ptr<Result> result;
    bool made = false;
  };

  void Seal() {
    const std::lock_guard lock(m_mutex);
    if (m_abandoned) {
      m_filling.reset();
      return;
    }
    m_filling->piece = static_cast<std::size_t>(m_reading);
    ++m_uses[m_filling->piece];
    m_batches.push_back(std::move(m_filling));
    m_changed.notify_all();
  }

  // One use of a piece less; the piece is free with none left. Under the lock.
  void Release(std::size_t piece) {
    if (--m_uses[piece] == 0) {
      m_free.push_back(piece);
      m_changed.notify_all();
    }
  }

  void MakeResults(const Work& work) {
    std::unique_lock lock(m_mutex);
    for (;;) {
      m_changed.wait(lock, [this] {
        return (m_claimed < m_batches.size() && m_claimed - m_taken < kResultsInHand) ||
               (m_ended && m_claimed == m_batches.size()) || m_abandoned;
      });
      if (m_abandoned || m_claimed == m_batches.size()) return;
      Batch& batch = *m_batches[m_claimed++];
      std::unique_ptr<Result> result = std::move(m_spare.back());
      m_spare.pop_back();
      lock.unlock();
      int damaged = 0;
      work(batch.places, *result, damaged);
      lock.lock();
      m_damaged += damaged;
      batch.result = std::move(result);
      batch.made = true;
      m_changed.notify_all();
    }
  }

  void TakeResults() {
    if (m_check && !m_check()) {
      const std::lock_guard lock(m_mutex);
      m_abandoned = true;
      m_changed.notify_all();
      return;
    }
    std::unique_lock lock(m_mutex);
    for (;;) {
      m_changed.wait(lock, [this] {
        return (m_taken < m_batches.size() && m_batches[m_taken]->made) || (m_ended && m_taken == m_batches.size()) ||
               m_abandoned;
      });
      if (m_abandoned || m_taken == m_batches.size()) return;
      std::unique_ptr<Batch> batch = std::move(m_batches[m_taken]);
      lock.unlock();
      m_take(*batch->result);
      lock.lock();
      m_spare.push_back(std::move(batch->result));
      Release(batch->piece);
      ++m_taken;
      m_changed.notify_all();
    }
  }

  std::function<bool()> m_check;
  std::function<void(Result&)> m_take;
  std::unique_ptr<Batch> m_filling;  // the reading thread's
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<std::unique_ptr<std::uint8_t[]>> m_pieces;
  std::vector<int> m_uses;          // of each piece: its batches not yet taken, and the reading
  std::vector<std::size_t> m_free;  // pieces without a use
  int m_reading = -1;               // the piece the reading reads into
  std::vector<std::unique_ptr<Batch>> m_batches;  // sealed, in order; empty once taken
  std::size_t m_claimed = 0;  // batches whose results are or were being made
  std::size_t m_taken = 0;    // batches taken
  int m_damaged = 0;
  std::vector<std::unique_ptr<Result>> m_spare;
  bool m_ended = false;
  bool m_abandoned = false;
  std::thread m_workers[2];
  std::thread m_taker;
};
