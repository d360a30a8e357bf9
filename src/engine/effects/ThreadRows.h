#pragma once
// Working rows of a pixel hook, one set per thread and run: a thread finds its own through a
// thread_local pointer tagged with a number unique to the run, so that it never takes rows of
// another run or another effect. The effect owns every set and frees them with clear() (in
// process_ended), so no thread keeps a run's memory.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

template <class Rows> class ThreadRows {
  public:
    // A new run: sets made before are no longer handed out (clear() frees them).
    void start() { m_run = ++s_runs; }
    bool started() const { return m_run != 0; }
    // The calling thread's set for this run, made by make() (a std::unique_ptr<Rows>) on its first
    // call; null when make() answers null. Only between start() and clear().
    template <class Make> Rows* get(Make&& make) {
        struct Held {
            uint64_t run = 0;
            Rows* rows = nullptr;
        };
        thread_local Held held;
        if (held.run != m_run) {
            std::unique_ptr<Rows> rows = make();
            if (!rows) return nullptr;
            held = {m_run, rows.get()};
            std::lock_guard lock(m_lock);
            m_sets.push_back(std::move(rows));
        }
        return held.rows;
    }
    // Frees every set and ends the run.
    void clear() {
        std::lock_guard lock(m_lock);
        m_sets.clear();
        m_run = 0;
    }

  private:
    static inline std::atomic<uint64_t> s_runs{0};
    uint64_t m_run = 0;
    std::mutex m_lock;
    std::vector<std::unique_ptr<Rows>> m_sets;
};
