// Work on a stream of items on several threads, handed on in the items' order as soon as each is
// done: the first results come out while later items are still being read or worked on.
#pragma once

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

template <class Item, class Result>
class OrderedBatch {
public:
  using Next = std::function<std::optional<Item>()>; // called by one thread at a time
  using Work = std::function<Result(const Item&)>;    // called on many threads at once
  using Deliver = std::function<void(Result&)>;       // called on the calling thread, in order

  // Returns once every item is delivered. Each thread works on one item at a time.
  static void Run(int threads, const Next& next, const Work& work, const Deliver& deliver) {
    OrderedBatch batch(next, work);
    std::vector<std::thread> workers;
    for (int i = 0; i < threads; ++i) {
      try {
        workers.emplace_back([&batch] { batch.WorkUntilEnd(); });
      } catch (const std::system_error&) {
        break; // fewer threads than wished
      }
    }
    if (workers.empty()) workers.emplace_back([&batch] { batch.WorkUntilEnd(); });
    batch.DeliverInOrder(deliver);
    for (std::thread& worker : workers) worker.join();
  }

private:
  OrderedBatch(const Next& next, const Work& work) : m_next(next), m_work(work) {}

  void WorkUntilEnd() {
    for (;;) {
      std::optional<Item> item;
      int index;
      {
        // Taking the next item may wait (names typed into a pipe); results go on meanwhile.
        std::lock_guard taking(m_nextMutex);
        if (!m_nextEnded) item = m_next();
        std::lock_guard lock(m_mutex);
        if (!item) {
          m_nextEnded = m_ended = true;
          m_changed.notify_all();
          return;
        }
        index = m_taken++;
      }
      Result result = m_work(*item);
      std::lock_guard lock(m_mutex);
      m_done.emplace(index, std::move(result));
      m_changed.notify_all();
    }
  }

  void DeliverInOrder(const Deliver& deliver) {
    for (int index = 0;; ++index) {
      std::unique_lock lock(m_mutex);
      m_changed.wait(lock, [&] { return m_done.count(index) || (m_ended && index >= m_taken); });
      const auto found = m_done.find(index);
      if (found == m_done.end()) return;
      Result result = std::move(found->second);
      m_done.erase(found);
      lock.unlock();
      deliver(result);
    }
  }

  const Next& m_next;
  const Work& m_work;
  std::mutex m_nextMutex; // taken before m_mutex
  bool m_nextEnded = false;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::map<int, Result> m_done;
  int m_taken = 0;
  bool m_ended = false;
};
