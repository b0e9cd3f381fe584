#pragma once

#include <atomic>
#include <mutex>
#include <utility>

#include "train/networks.h"
#include "train/progress.h"

namespace vornetica {

// The network as a run holds it between two vectors, handed to whoever shows it
// on request, like the cells: the receiver's timer calls request() a few times a
// second and the trainer copies its matrices after the next vector (or pair, or
// pass) it trains. A run nobody asks pays one atomic load per vector.
class NetworkSnapshots {
  public:
    // Receiver, any thread: the next vector's network goes out once.
    void request() { wanted_.store(true, std::memory_order_relaxed); }
    // Receiver: forgets a snapshot not yet taken and any request, before a run.
    void reset() {
        const std::lock_guard lock(mutex_);
        fresh_ = false;
        shared_ = std::monostate{};
        wanted_.store(false, std::memory_order_relaxed);
    }
    // Receiver: swaps the newest snapshot into `into` when one came since the last
    // take. The swap gives the trainer back the storage of the one before, so a
    // run's snapshots allocate only the first time.
    bool take(TrainedNetwork& into) {
        const std::lock_guard lock(mutex_);
        if (!fresh_) {
            return false;
        }
        std::swap(into, shared_);
        fresh_ = false;
        return true;
    }

    // Trainer: whether a snapshot is asked for.
    bool wanted() const { return wanted_.load(std::memory_order_relaxed); }
    // Trainer: `fill(TrainedNetwork&)` writes the network as it stands.
    template <typename Fill>
    void publish(const Fill& fill) {
        wanted_.store(false, std::memory_order_relaxed);
        const std::lock_guard lock(mutex_);
        fill(shared_);
        fresh_ = true;
    }

  private:
    std::atomic<bool> wanted_ = false;
    std::mutex mutex_;
    TrainedNetwork shared_;  // under mutex_
    bool fresh_ = false;     // under mutex_
};

// A trainer's side: asks the receiver once per run whether it takes snapshots.
class SnapshotPublisher {
  public:
    explicit SnapshotPublisher(ProgressSink& progress) : snapshots_(progress.networkSnapshots()) {}

    // Between two vectors: `fill(TrainedNetwork&)` copies the network when asked.
    template <typename Fill>
    void offer(const Fill& fill) {
        if (snapshots_ != nullptr && snapshots_->wanted()) {
            snapshots_->publish(fill);
        }
    }

  private:
    NetworkSnapshots* snapshots_;
};

// The storage of `into` as a network of type Network, made once and then reused.
template <typename Network>
Network& snapshotOf(TrainedNetwork& into) {
    if (auto* network = std::get_if<Network>(&into)) {
        return *network;
    }
    return into.emplace<Network>();
}

}  // namespace vornetica
