#include "NataloCli/ItemPipe.h"

ItemPipe::ItemPipe(std::function<void(const StorageItem&)> take) : m_take(std::move(take)) {
  m_filling.reserve(kBatchItems);
  m_thread = std::thread([this] { Run(); });
}

ItemPipe::~ItemPipe() { Finish(); }

void ItemPipe::Push(std::unique_ptr<StorageItem>& item) {
  m_filling.push_back(std::move(item));
  if (m_filling.size() == kBatchItems) {
    Batch handed;
    handed.reserve(kBatchItems);
    handed.swap(m_filling);
    std::vector<Batch> done;
    {
      // A few batches ahead at most: the items then come back to be read into
      // again, instead of the whole file being held at once.
      std::unique_lock lock(m_mutex);
      m_taken.wait(lock, [this] { return m_full.size() - m_next < kBatchesAhead; });
      m_full.push_back(std::move(handed));
      done.swap(m_done);
    }
    m_ready.notify_one();
    for (Batch& batch : done) {
      for (std::unique_ptr<StorageItem>& taken : batch) m_spare.push_back(std::move(taken));
    }
  }
  if (!m_spare.empty()) {
    item = std::move(m_spare.back());
    m_spare.pop_back();
  }
}

void ItemPipe::Finish() {
  if (!m_thread.joinable()) return;
  {
    const std::lock_guard lock(m_mutex);
    if (!m_filling.empty()) m_full.push_back(std::move(m_filling));
    m_finished = true;
  }
  m_ready.notify_one();
  m_thread.join();
}

void ItemPipe::Run() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    m_ready.wait(lock, [this] { return m_next < m_full.size() || m_finished; });
    if (m_next == m_full.size()) return;
    Batch batch = std::move(m_full[m_next]);
    lock.unlock();
    for (const std::unique_ptr<StorageItem>& item : batch) m_take(*item);
    lock.lock();
    ++m_next;
    m_done.push_back(std::move(batch));
    m_taken.notify_one();
  }
}
