#include "input/elementqueue.h"

namespace plotvue {

ElementQueue::ElementQueue() {
  for (ElementBlock& b : blocks_) {
    b.elements.resize(kBlockElements);
    b.texts.reserve(kBlockTexts);
    free_.push_back(&b);
  }
}

ElementBlock* ElementQueue::TakeFree() {
  std::unique_lock lock(mutex_);
  freeReady_.wait(lock, [this] { return !free_.empty() || stopped(); });
  if (stopped()) return nullptr;
  ElementBlock* b = free_.front();
  free_.pop_front();
  lock.unlock();
  b->Clear();
  return b;
}

void ElementQueue::Publish(ElementBlock* block) {
  {
    std::lock_guard lock(mutex_);
    filled_.push_back(block);
  }
  filledReady_.notify_one();
}

void ElementQueue::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  filledReady_.notify_one();
}

ElementBlock* ElementQueue::TakeFilled() {
  std::unique_lock lock(mutex_);
  filledReady_.wait(lock, [this] { return !filled_.empty() || closed_; });
  if (filled_.empty()) return nullptr;
  ElementBlock* b = filled_.front();
  filled_.pop_front();
  return b;
}

void ElementQueue::Recycle(ElementBlock* block) {
  {
    std::lock_guard lock(mutex_);
    free_.push_back(block);
  }
  freeReady_.notify_one();
}

void ElementQueue::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopped_.store(true, std::memory_order_relaxed);
  }
  freeReady_.notify_one();
}

void ElementQueue::SetProgress(std::uint64_t done, std::uint64_t total) {
  std::lock_guard lock(mutex_);
  progressNew_ = true;
  progressDone_ = done;
  progressTotal_ = total;
}

bool ElementQueue::TakeProgress(std::uint64_t& done, std::uint64_t& total) {
  std::lock_guard lock(mutex_);
  if (!progressNew_) return false;
  progressNew_ = false;
  done = progressDone_;
  total = progressTotal_;
  return true;
}

}  // namespace plotvue
