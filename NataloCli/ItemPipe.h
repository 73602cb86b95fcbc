#pragma once
// Hands the items a scan reads to a thread of their own, in batches, so that
// reading the file and working on what it holds run side by side. The items
// come back to the reading side once taken, to be read into again.
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "common/store/StorageItem.h"

class ItemPipe {
 public:
  // `take` sees every item, in the order they were pushed, on the pipe's thread.
  explicit ItemPipe(std::function<void(const StorageItem&)> take);
  ~ItemPipe();
  ItemPipe(const ItemPipe&) = delete;
  ItemPipe& operator=(const ItemPipe&) = delete;

  // Takes the item, and leaves in its place one that was taken before (or
  // nothing), for the scan to read the next record into.
  void Push(std::unique_ptr<StorageItem>& item);
  // Hands on what is left and waits until every item was taken.
  void Finish();

 private:
  using Batch = std::vector<std::unique_ptr<StorageItem>>;
  static constexpr std::size_t kBatchItems = 512;
  static constexpr std::size_t kBatchesAhead = 4;

  void Run();

  std::function<void(const StorageItem&)> m_take;
  Batch m_filling;
  Batch m_spare;  // taken items, reading side only
  std::mutex m_mutex;
  std::condition_variable m_ready;  // a batch to take, or the end
  std::condition_variable m_taken;  // a batch was taken
  std::vector<Batch> m_full;
  std::size_t m_next = 0;  // the first batch in m_full not yet taken
  std::vector<Batch> m_done;
  bool m_finished = false;
  std::thread m_thread;
};
