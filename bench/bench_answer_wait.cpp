// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
// How soon an answer that a projector holds back is taken: a substitute projector that
// greets at once answers every control request 150 ms late; the time from the request to
// the whole answer read is the measurement (wall time: the wait is what is measured).
#include "comm/command_exchange.h"
#include "sim/projector_sim.h"

#include <QCoreApplication>
#include <QHostAddress>

#include <benchmark/benchmark.h>

#include <chrono>

using namespace glintcaster;

namespace {

constexpr int kAnswerDelayMs = 150;
constexpr quint32 kAddress = (127u << 24) | (102u << 16) | (200u << 8) | 1u;

void BM_LateAnswer(benchmark::State &state)
{
    ProjectorSim sim(QHostAddress(kAddress), 9719);
    sim.setPassword(QStringLiteral("bench"));
    sim.setAnswerDelay(kAnswerDelayMs, "CTRL");
    if (!sim.start()) {
        state.SkipWithError("the substitute projector did not start");
        return;
    }
    ProjectorEndpoint endpoint;
    endpoint.address = kAddress;
    endpoint.password = QStringLiteral("bench");
    double worst = 0;
    for (auto _ : state) {
        CommandExchange exchange(endpoint, ExchangeTimings{});
        if (exchange.open(ConnectMode::BlockingConnect) != 0 || exchange.greet() != 0) {
            state.SkipWithError("no connection");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        const bool ok = exchange.send("CTRL 6020\r\n2\r\n") == 0 &&
                        exchange.awaitAnswer() == CommandExchange::Await::Ready &&
                        exchange.readAnswer() == 0;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (!ok) {
            state.SkipWithError("no answer");
            return;
        }
        state.SetIterationTime(took.count());
        worst = std::max(worst, took.count() * 1000);
    }
    state.counters["worst_ms"] = worst;
    state.counters["delay_ms"] = kAnswerDelayMs;
}
BENCHMARK(BM_LateAnswer)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
