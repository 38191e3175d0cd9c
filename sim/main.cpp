// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Glintcaster developers
#include "sim/projector_sim.h"
#include "sim/sim_fleet.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTime>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace glintcaster;

namespace {

#ifdef Q_OS_UNIX
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[0], &c, 1);
}

// Turns SIGINT and SIGTERM into an orderly quit of the event loop.
void installSignalHandlers(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        char c;
        [[maybe_unused]] const auto n = ::read(signalPipe[1], &c, 1);
        app.quit();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

// A fleet keeps four sockets open per projector.
void raiseOpenFileLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}
#else
void installSignalHandlers(QCoreApplication &) {}
void raiseOpenFileLimit() {}
#endif

bool parseFault(const QString &text, SimFault &fault)
{
    static const QList<QPair<QString, SimFault>> names = {
        {QStringLiteral("none"), SimFault::None},
        {QStringLiteral("silent"), SimFault::Silent},
        {QStringLiteral("close-on-accept"), SimFault::CloseOnAccept},
        {QStringLiteral("close-after-request"), SimFault::CloseAfterRequest},
        {QStringLiteral("close-mid-answer"), SimFault::CloseMidAnswer},
        {QStringLiteral("garbage"), SimFault::Garbage},
        {QStringLiteral("refuse"), SimFault::Refuse},
        {QStringLiteral("busy"), SimFault::Busy},
        {QStringLiteral("hang-connect"), SimFault::HangConnect},
        {QStringLiteral("late-answer"), SimFault::LateAnswer},
        {QStringLiteral("wrong-digest"), SimFault::WrongDigest},
    };
    for (const auto &[name, value] : names) {
        if (name == text) {
            fault = value;
            return true;
        }
    }
    return false;
}

int parseNumber(const QString &text, bool *ok)
{
    // Accepts decimal and 0x-prefixed hexadecimal.
    return text.toInt(ok, 0);
}

} // namespace

int main(int argc, char *argv[])
{
    // A fleet keeps thousands of sockets on a few event loops; the plain poll() dispatcher
    // serves them with less work per wake-up than the GLib one.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("glintcaster-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(GLINTCASTER_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Substitute projector: answers the message protocol on TCP and discovery searches "
        "on UDP, so the tool can be tried without hardware."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption listen(
        QStringLiteral("listen"),
        QStringLiteral("Address to listen on (default 127.0.0.1). Repeat it, or give a range "
                       "such as 127.0.2.1-127.0.5.254, for a fleet: one independent projector "
                       "per address, each with its own slots; the other options apply to "
                       "all of them."),
        QStringLiteral("addr"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Command port."),
                                  QStringLiteral("n"), QStringLiteral("9719"));
    const QCommandLineOption password(QStringLiteral("password"),
                                      QStringLiteral("Password; connections are then greeted "
                                                     "and must answer with the digest."),
                                      QStringLiteral("pw"));
    const QCommandLineOption greet(QStringLiteral("greet"),
                                   QStringLiteral("When to greet: password (default), always, "
                                                  "never."),
                                   QStringLiteral("when"), QStringLiteral("password"));
    const QCommandLineOption name(QStringLiteral("name"),
                                  QStringLiteral("Name reported to discovery."),
                                  QStringLiteral("name"), QStringLiteral("Glintcaster-Sim"));
    const QCommandLineOption mac(QStringLiteral("mac"),
                                 QStringLiteral("MAC address reported to discovery."),
                                 QStringLiteral("mac"), QStringLiteral("00-16-3E-51-4D-01"));
    const QCommandLineOption firmware(QStringLiteral("firmware"),
                                      QStringLiteral("Firmware level (control 0F01)."),
                                      QStringLiteral("n"), QStringLiteral("4"));
    const QCommandLineOption flags(QStringLiteral("flags"),
                                   QStringLiteral("Capability flags (control 0F02): bit 0 "
                                                  "Picture Side, bit 1 alarm, bit 2 extended "
                                                  "characters."),
                                   QStringLiteral("n"), QStringLiteral("7"));
    const QCommandLineOption startup(QStringLiteral("startup"),
                                     QStringLiteral("Initial startup display setting."),
                                     QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption alarm(QStringLiteral("alarm"),
                                   QStringLiteral("Alarm state (control 3535): sound number in "
                                                  "the high byte, sounding in bits 0..6; Mute "
                                                  "clears the low bits."),
                                   QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption status(QStringLiteral("status"),
                                    QStringLiteral("Status character of control 6020."),
                                    QStringLiteral("c"), QStringLiteral("0"));
    const QCommandLineOption statScript(QStringLiteral("stat-script"),
                                        QStringLiteral("Storage progress after each upload, "
                                                       "e.g. 1530; the last one repeats."),
                                        QStringLiteral("chars"), QStringLiteral("0"));
    const QCommandLineOption fault(
        QStringLiteral("fault"),
        QStringLiteral("none, silent, close-on-accept, close-after-request, close-mid-answer, "
                       "garbage, refuse, busy, hang-connect, late-answer or wrong-digest."),
        QStringLiteral("fault"), QStringLiteral("none"));
    const QCommandLineOption delay(QStringLiteral("delay"),
                                   QStringLiteral("Answer every request this late."),
                                   QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption noDiscovery(QStringLiteral("no-discovery"),
                                         QStringLiteral("Do not answer discovery searches."));
    const QCommandLineOption noMulticast(QStringLiteral("no-multicast"),
                                         QStringLiteral("Answer only searches sent straight "
                                                        "to the address."));
    const QCommandLineOption shape(QStringLiteral("discovery-shape"),
                                   QStringLiteral("single, two (a second record in the same "
                                                  "datagram) or wl (record followed by WL)."),
                                   QStringLiteral("shape"), QStringLiteral("single"));
    const QCommandLineOption verbose(QStringLiteral("verbose"),
                                     QStringLiteral("Print one line per request received."));
    parser.addOptions({listen, port, password, greet, name, mac, firmware, flags, startup, alarm,
                       status, statScript, fault, delay, noDiscovery, noMulticast, shape, verbose});
    parser.process(app);

    QTextStream err(stderr);
    auto usage = [&](const QString &message) {
        err << "glintcaster-sim: " << message << Qt::endl;
        return 2;
    };

    QList<QHostAddress> addresses;
    QString listenError;
    if (!parseListenAddresses(parser.values(listen), &addresses, &listenError))
        return usage(listenError);
    const bool fleet = addresses.size() > 1;
    bool ok = false;
    const int portNumber = parser.value(port).toInt(&ok);
    if (!ok || portNumber < 0 || portNumber > 65535)
        return usage(QStringLiteral("--port needs a number from 0 to 65535"));

    // Every option is checked once, before any projector exists.
    SimGreeting greetingMode = SimGreeting::WhenPassword;
    const QString greetWhen = parser.value(greet);
    if (greetWhen == QLatin1String("always"))
        greetingMode = SimGreeting::Always;
    else if (greetWhen == QLatin1String("never"))
        greetingMode = SimGreeting::Never;
    else if (greetWhen != QLatin1String("password"))
        return usage(QStringLiteral("--greet takes password, always or never"));
    const QByteArray macBytes = simwire::parseMac(parser.value(mac));
    if (macBytes.isEmpty())
        return usage(QStringLiteral("--mac needs six hexadecimal bytes, e.g. 00-16-3E-51-4D-01"));
    const int level = parseNumber(parser.value(firmware), &ok);
    if (!ok)
        return usage(QStringLiteral("--firmware needs a number"));
    const int flagBits = parseNumber(parser.value(flags), &ok);
    if (!ok)
        return usage(QStringLiteral("--flags needs a number"));
    const int startupValue = parseNumber(parser.value(startup), &ok);
    if (!ok || startupValue < 0 || startupValue > 0xFFFF)
        return usage(QStringLiteral("--startup needs a number from 0 to 65535"));
    const int alarmValue = parseNumber(parser.value(alarm), &ok);
    if (!ok || alarmValue < 0 || alarmValue > 0xFFFF)
        return usage(QStringLiteral("--alarm needs a number from 0 to 65535"));
    const QString statusText = parser.value(status);
    if (statusText.size() != 1 || statusText.at(0).unicode() > 0x7E)
        return usage(QStringLiteral("--status needs one character"));
    SimFault faultValue = SimFault::None;
    if (!parseFault(parser.value(fault), faultValue))
        return usage(QStringLiteral("unknown --fault %1").arg(parser.value(fault)));
    const int delayMs = parser.value(delay).toInt(&ok);
    if (!ok || delayMs < 0)
        return usage(QStringLiteral("--delay needs a number of milliseconds"));
    SimDiscoveryShape shapeValue = SimDiscoveryShape::Single;
    const QString shapeText = parser.value(shape);
    if (shapeText == QLatin1String("two"))
        shapeValue = SimDiscoveryShape::TwoRecords;
    else if (shapeText == QLatin1String("wl"))
        shapeValue = SimDiscoveryShape::TrailingWL;
    else if (shapeText != QLatin1String("single"))
        return usage(QStringLiteral("--discovery-shape takes single, two or wl"));

    if (fleet)
        raiseOpenFileLimit();
    // Two projectors to a thread. Every wake-up of a thread polls all of its sockets, so
    // larger groups answer a burst of requests late (clients look for an answer within
    // 200 us, then sleep 200 ms); a thread costs about 20 KiB.
    SimFleet projectors(2);
    for (const QHostAddress &address : std::as_const(addresses)) {
        ProjectorSimConfig config;
        config.address = address;
        config.port = quint16(portNumber);
        config.discoveryMulticast = !parser.isSet(noMulticast);
        config.keepLog = false; // nobody reads it here; a long run must not grow
        ProjectorSim &sim = *projectors.add(config);
        sim.setPassword(parser.value(password));
        sim.setGreetingMode(greetingMode);
        sim.setIdentity(parser.value(name), fleet ? fleetMac(macBytes, address) : macBytes);
        sim.setFirmwareLevel(level);
        sim.setCapabilityFlags(flagBits);
        sim.setStartupSetting(startupValue);
        sim.setAlarmState(alarmValue);
        sim.setStatusCharacter(char(statusText.at(0).unicode()));
        sim.setStatScript(parser.value(statScript).toLatin1());
        sim.setFault(faultValue);
        sim.setAnswerDelay(delayMs);
        sim.setDiscoveryEnabled(!parser.isSet(noDiscovery));
        sim.setDiscoveryShape(shapeValue);

        if (parser.isSet(verbose)) {
            const QString prefix = fleet ? address.toString() + QLatin1Char(' ') : QString();
            QObject::connect(&sim, &ProjectorSim::requestReceived, &app,
                             [prefix](const QString &description, bool authenticated) {
                                 QTextStream out(stdout);
                                 out << QTime::currentTime().toString(
                                            QStringLiteral("HH:mm:ss.zzz"))
                                     << ' ' << prefix << description
                                     << (authenticated ? "" : " [wrong digest, closed]")
                                     << Qt::endl;
                             });
            QObject::connect(&sim, &ProjectorSim::searchReceived, &app,
                             [prefix](const QHostAddress &from) {
                                 QTextStream out(stdout);
                                 out << QTime::currentTime().toString(
                                            QStringLiteral("HH:mm:ss.zzz"))
                                     << ' ' << prefix << "discovery search from "
                                     << from.toString() << Qt::endl;
                             });
        }
    }

    installSignalHandlers(app);
    QString startError;
    if (!projectors.start(&startError)) {
        err << "glintcaster-sim: " << startError << Qt::endl;
        return 3;
    }
    {
        QTextStream out(stdout);
        for (int i = 0; i < projectors.size(); ++i)
            out << "glintcaster-sim listening on " << projectors.at(i)->address().toString()
                << ':' << projectors.at(i)->port() << '\n';
        out.flush();
    }
    const int rc = app.exec();
    projectors.stop();
    return rc;
}
