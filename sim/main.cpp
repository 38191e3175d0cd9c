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

/// Everything the command line says, checked: one set of values for every projector.
struct SimOptions {
    QList<QHostAddress> addresses;
    int port = 9719;
    QString password;
    SimGreeting greeting = SimGreeting::WhenPassword;
    QString name;
    QByteArray mac;
    int firmwareLevel = 4;
    int capabilityFlags = 7;
    int startup = 0;
    int alarm = 0;
    char status = '0';
    QByteArray statScript;
    SimFault fault = SimFault::None;
    int delayMs = 0;
    bool discovery = true;
    bool multicast = true;
    SimDiscoveryShape shape = SimDiscoveryShape::Single;
    bool verbose = false;

    /// More than one address: a fleet of independent projectors.
    bool fleet() const { return addresses.size() > 1; }
};

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Substitute projector: answers the message protocol on TCP and discovery searches "
        "on UDP, so the tool can be tried without hardware."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("listen"),
         QStringLiteral("Address to listen on (default 127.0.0.1). Repeat it, or give a range "
                        "such as 127.0.2.1-127.0.5.254, for a fleet: one independent projector "
                        "per address, each with its own slots; the other options apply to "
                        "all of them."),
         QStringLiteral("addr"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("port"), QStringLiteral("Command port."), QStringLiteral("n"),
         QStringLiteral("9719")},
        {QStringLiteral("password"),
         QStringLiteral("Password; connections are then greeted and must answer with the digest."),
         QStringLiteral("pw")},
        {QStringLiteral("greet"), QStringLiteral("When to greet: password (default), always, never."),
         QStringLiteral("when"), QStringLiteral("password")},
        {QStringLiteral("name"), QStringLiteral("Name reported to discovery."), QStringLiteral("name"),
         QStringLiteral("Glintcaster-Sim")},
        {QStringLiteral("mac"), QStringLiteral("MAC address reported to discovery."),
         QStringLiteral("mac"), QStringLiteral("00-16-3E-51-4D-01")},
        {QStringLiteral("firmware"), QStringLiteral("Firmware level (control 0F01)."),
         QStringLiteral("n"), QStringLiteral("4")},
        {QStringLiteral("flags"),
         QStringLiteral("Capability flags (control 0F02): bit 0 Picture Side, bit 1 alarm, bit 2 "
                        "extended characters."),
         QStringLiteral("n"), QStringLiteral("7")},
        {QStringLiteral("startup"), QStringLiteral("Initial startup display setting."),
         QStringLiteral("n"), QStringLiteral("0")},
        {QStringLiteral("alarm"),
         QStringLiteral("Alarm state (control 3535): sound number in the high byte, sounding in "
                        "bits 0..6; Mute clears the low bits."),
         QStringLiteral("n"), QStringLiteral("0")},
        {QStringLiteral("status"), QStringLiteral("Status character of control 6020."),
         QStringLiteral("c"), QStringLiteral("0")},
        {QStringLiteral("stat-script"),
         QStringLiteral("Storage progress after each upload, e.g. 1530; the last one repeats."),
         QStringLiteral("chars"), QStringLiteral("0")},
        {QStringLiteral("fault"),
         QStringLiteral("none, silent, close-on-accept, close-after-request, close-mid-answer, "
                        "garbage, refuse, busy, hang-connect, late-answer or wrong-digest."),
         QStringLiteral("fault"), QStringLiteral("none")},
        {QStringLiteral("delay"), QStringLiteral("Answer every request this late."),
         QStringLiteral("ms"), QStringLiteral("0")},
        {QStringLiteral("no-discovery"), QStringLiteral("Do not answer discovery searches.")},
        {QStringLiteral("no-multicast"),
         QStringLiteral("Answer only searches sent straight to the address.")},
        {QStringLiteral("discovery-shape"),
         QStringLiteral("single, two (a second record in the same datagram) or wl (record "
                        "followed by WL)."),
         QStringLiteral("shape"), QStringLiteral("single")},
        {QStringLiteral("verbose"), QStringLiteral("Print one line per request received.")},
    });
}

/// Reads and checks every option once, before any projector exists; false with the usage
/// message in `error` for the first bad one.
bool readOptions(const QCommandLineParser &parser, SimOptions *o, QString *error)
{
    auto value = [&parser](const char *name) { return parser.value(QLatin1String(name)); };
    auto fail = [error](const QString &message) {
        *error = message;
        return false;
    };
    if (!parseListenAddresses(parser.values(QStringLiteral("listen")), &o->addresses, error))
        return false;
    bool ok = false;
    o->port = value("port").toInt(&ok);
    if (!ok || o->port < 0 || o->port > 65535)
        return fail(QStringLiteral("--port needs a number from 0 to 65535"));
    o->password = value("password");
    const QString greetWhen = value("greet");
    if (greetWhen == QLatin1String("always"))
        o->greeting = SimGreeting::Always;
    else if (greetWhen == QLatin1String("never"))
        o->greeting = SimGreeting::Never;
    else if (greetWhen != QLatin1String("password"))
        return fail(QStringLiteral("--greet takes password, always or never"));
    o->name = value("name");
    o->mac = simwire::parseMac(value("mac"));
    if (o->mac.isEmpty())
        return fail(QStringLiteral("--mac needs six hexadecimal bytes, e.g. 00-16-3E-51-4D-01"));
    o->firmwareLevel = parseNumber(value("firmware"), &ok);
    if (!ok)
        return fail(QStringLiteral("--firmware needs a number"));
    o->capabilityFlags = parseNumber(value("flags"), &ok);
    if (!ok)
        return fail(QStringLiteral("--flags needs a number"));
    o->startup = parseNumber(value("startup"), &ok);
    if (!ok || o->startup < 0 || o->startup > 0xFFFF)
        return fail(QStringLiteral("--startup needs a number from 0 to 65535"));
    o->alarm = parseNumber(value("alarm"), &ok);
    if (!ok || o->alarm < 0 || o->alarm > 0xFFFF)
        return fail(QStringLiteral("--alarm needs a number from 0 to 65535"));
    const QString statusText = value("status");
    if (statusText.size() != 1 || statusText.at(0).unicode() > 0x7E)
        return fail(QStringLiteral("--status needs one character"));
    o->status = char(statusText.at(0).unicode());
    o->statScript = value("stat-script").toLatin1();
    if (!parseFault(value("fault"), o->fault))
        return fail(QStringLiteral("unknown --fault %1").arg(value("fault")));
    o->delayMs = value("delay").toInt(&ok);
    if (!ok || o->delayMs < 0)
        return fail(QStringLiteral("--delay needs a number of milliseconds"));
    o->discovery = !parser.isSet(QStringLiteral("no-discovery"));
    o->multicast = !parser.isSet(QStringLiteral("no-multicast"));
    const QString shapeText = value("discovery-shape");
    if (shapeText == QLatin1String("two"))
        o->shape = SimDiscoveryShape::TwoRecords;
    else if (shapeText == QLatin1String("wl"))
        o->shape = SimDiscoveryShape::TrailingWL;
    else if (shapeText != QLatin1String("single"))
        return fail(QStringLiteral("--discovery-shape takes single, two or wl"));
    o->verbose = parser.isSet(QStringLiteral("verbose"));
    return true;
}

/// Prints one line per request and per discovery search `sim` receives.
void logRequests(ProjectorSim &sim, QCoreApplication &app, const QString &prefix)
{
    QObject::connect(&sim, &ProjectorSim::requestReceived, &app,
                     [prefix](const QString &description, bool authenticated) {
                         QTextStream out(stdout);
                         out << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) << ' '
                             << prefix << description
                             << (authenticated ? "" : " [wrong digest, closed]") << Qt::endl;
                     });
    QObject::connect(&sim, &ProjectorSim::searchReceived, &app, [prefix](const QHostAddress &from) {
        QTextStream out(stdout);
        out << QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")) << ' ' << prefix
            << "discovery search from " << from.toString() << Qt::endl;
    });
}

/// Adds one projector at `address` to `projectors`, set up as the options say.
void addProjector(SimFleet &projectors, const QHostAddress &address, const SimOptions &o,
                  QCoreApplication &app)
{
    ProjectorSimConfig config;
    config.address = address;
    config.port = quint16(o.port);
    config.discoveryMulticast = o.multicast;
    config.keepLog = false; // nobody reads it here; a long run must not grow
    ProjectorSim &sim = *projectors.add(config);
    sim.setPassword(o.password);
    sim.setGreetingMode(o.greeting);
    sim.setIdentity(o.name, o.fleet() ? fleetMac(o.mac, address) : o.mac);
    sim.setFirmwareLevel(o.firmwareLevel);
    sim.setCapabilityFlags(o.capabilityFlags);
    sim.setStartupSetting(o.startup);
    sim.setAlarmState(o.alarm);
    sim.setStatusCharacter(o.status);
    sim.setStatScript(o.statScript);
    sim.setFault(o.fault);
    sim.setAnswerDelay(o.delayMs);
    sim.setDiscoveryEnabled(o.discovery);
    sim.setDiscoveryShape(o.shape);
    if (o.verbose)
        logRequests(sim, app, o.fleet() ? address.toString() + QLatin1Char(' ') : QString());
}

/// Starts a projector on every address and serves them until SIGINT or SIGTERM; 3 when one
/// cannot listen.
int run(QCoreApplication &app, const SimOptions &o)
{
    if (o.fleet())
        raiseOpenFileLimit();
    // Two projectors to a thread. Every wake-up of a thread polls all of its sockets, so
    // larger groups answer a burst of requests late (clients look for an answer within
    // 200 us, then sleep 200 ms); a thread costs about 20 KiB.
    SimFleet projectors(2);
    for (const QHostAddress &address : o.addresses)
        addProjector(projectors, address, o, app);

    installSignalHandlers(app);
    QString startError;
    if (!projectors.start(&startError)) {
        QTextStream(stderr) << "glintcaster-sim: " << startError << Qt::endl;
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
    addOptions(parser);
    parser.process(app);
    SimOptions options;
    QString error;
    if (!readOptions(parser, &options, &error)) {
        QTextStream(stderr) << "glintcaster-sim: " << error << Qt::endl;
        return 2;
    }
    return run(app, options);
}
