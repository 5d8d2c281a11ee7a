#pragma once
// The soak's workload as a list of steps run from the event loop, as a user works the window:
// each step does one thing (a click, a few keys) and may then wait, without blocking, until the
// window shows that it is done. A clock of its own looks every kTickMs; nothing here runs an
// event loop of its own, so the window sees only what a user's clicks would give it.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <vector>

class SoakSteps : public QObject {
public:
    static constexpr int kTickMs = 20;

    struct Step {
        Step(QString n, std::function<void()> a, std::function<bool()> d = {}, int t = 20000)
            : name(std::move(n)), act(std::move(a)), done(std::move(d)), timeoutMs(t) {}
        QString name;
        std::function<void()> act;
        std::function<bool()> done; // none: done at once
        int timeoutMs;
    };

    // `cycle` makes the steps of one round; rounds run until `stop` returns true.
    SoakSteps(std::function<std::vector<Step>()> cycle, std::function<bool()> stop,
              std::function<void()> finished)
        : cycle_(std::move(cycle)), stop_(std::move(stop)), finished_(std::move(finished)) {
        connect(&clock_, &QTimer::timeout, this, &SoakSteps::tick);
    }
    void start() { clock_.start(kTickMs); }

    qint64 rounds() const { return rounds_; }
    qint64 stepsDone() const { return stepsDone_; }
    qint64 timeouts() const { return timeouts_; }

private:
    void tick() {
        if (waiting_) {
            const Step& step = steps_[next_ - 1];
            if (!step.done()) {
                if (sinceAct_.elapsed() < step.timeoutMs)
                    return;
                ++timeouts_;
                std::printf("  step \"%s\" did not finish within %d ms\n", qPrintable(step.name),
                            step.timeoutMs);
            }
            waiting_ = false;
        }
        if (next_ >= steps_.size()) {
            if (stop_()) {
                clock_.stop();
                finished_();
                return;
            }
            steps_ = cycle_();
            next_ = 0;
            ++rounds_;
        }
        const Step& step = steps_[next_++];
        step.act();
        ++stepsDone_;
        if (step.done) {
            waiting_ = true;
            sinceAct_.start();
        }
    }

    std::function<std::vector<Step>()> cycle_;
    std::function<bool()> stop_;
    std::function<void()> finished_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    bool waiting_ = false;
    QElapsedTimer sinceAct_;
    QTimer clock_;
    qint64 rounds_ = 0;
    qint64 stepsDone_ = 0;
    qint64 timeouts_ = 0;
};
