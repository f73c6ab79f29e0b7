#pragma once
#include <QThread>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Works through the items von .. bis - 1 on worker threads ahead of a reader
// that takes the results strictly in order. A worker begins an item only
// while it is fewer than vorlauf items past the one the reader waits for, so
// no more than vorlauf results and items in work are held at a time.
// threads <= 0 takes one thread per core, vorlauf <= 0 four items per thread.
// An item whose work throws comes back as T(), as if it had not been done.
template <class T> class TVorlauf {
public:
    using TArbeit = std::function<T(int index)>;

    TVorlauf(int von, int bis, TArbeit arbeit, int threads = 0, int vorlauf = 0)
        : m_von(von), m_anzahl(std::max(0, bis - von)), m_arbeit(std::move(arbeit))
    {
        if (threads <= 0)
            threads = std::max(1, QThread::idealThreadCount());
        threads = std::min(threads, std::max(1, m_anzahl));
        m_vorlauf = vorlauf > 0 ? vorlauf : 4 * threads;
        m_ergebnisse.resize(size_t(m_anzahl));
        m_fertig.assign(size_t(m_anzahl), 0);
        // A worker the system will not start (thread or memory limit) leaves
        // the items to those that run, or, with none, to the reader.
        try {
            m_threads.reserve(size_t(threads));
            for (int i = 0; i < threads && m_anzahl > 0; ++i)
                m_threads.emplace_back(&TVorlauf::Arbeiten, this);
        } catch (const std::exception&) {
        }
    }
    // Stops and joins: items in work are finished, no further one is begun.
    ~TVorlauf()
    {
        Stoppen();
        for (std::thread& t : m_threads)
            t.join();
    }
    TVorlauf(const TVorlauf&) = delete;
    TVorlauf& operator=(const TVorlauf&) = delete;

    // Waits up to ms milliseconds for the result of an item; false while it
    // is not ready (and for good once the work was stopped before it). Ask
    // for the items in order.
    bool Holen(int index, T& ergebnis, int ms)
    {
        const int k = index - m_von;
        if (k < 0 || k >= m_anzahl)
            return false;
        if (m_threads.empty()) {
            ergebnis = Machen(index);
            return true;
        }
        std::unique_lock<std::mutex> sperre(m_mutex);
        if (k > m_gewartet) {
            m_gewartet = k;
            m_platz.notify_all();
        }
        if (!m_bereit.wait_for(sperre, std::chrono::milliseconds(ms), [&] { return m_fertig[size_t(k)] != 0; }))
            return false;
        ergebnis = std::move(m_ergebnisse[size_t(k)]);
        m_ergebnisse[size_t(k)] = T();
        return true;
    }

    void Stoppen()
    {
        {
            std::lock_guard<std::mutex> sperre(m_mutex);
            m_stopp = true;
        }
        m_platz.notify_all();
        m_bereit.notify_all();
    }

private:
    T Machen(int index)
    {
        try {
            return m_arbeit(index);
        } catch (...) {
            return T();
        }
    }

    void Arbeiten()
    {
        for (;;) {
            int k;
            {
                std::unique_lock<std::mutex> sperre(m_mutex);
                m_platz.wait(sperre, [&] {
                    return m_stopp || m_naechster >= m_anzahl || m_naechster < m_gewartet + m_vorlauf;
                });
                if (m_stopp || m_naechster >= m_anzahl)
                    return;
                k = m_naechster++;
            }
            T e = Machen(m_von + k);
            {
                std::lock_guard<std::mutex> sperre(m_mutex);
                m_ergebnisse[size_t(k)] = std::move(e);
                m_fertig[size_t(k)] = 1;
            }
            m_bereit.notify_all();
        }
    }

    const int m_von;
    const int m_anzahl;
    const TArbeit m_arbeit;
    int m_vorlauf = 1;
    std::vector<T> m_ergebnisse;
    std::vector<char> m_fertig;
    int m_naechster = 0;     // next item a worker takes (counted from von)
    int m_gewartet = 0;      // the item the reader waits for
    bool m_stopp = false;
    std::mutex m_mutex;
    std::condition_variable m_bereit;
    std::condition_variable m_platz;
    std::vector<std::thread> m_threads;
};
