#include "net/NetClient.h"

#include "config/GamePaths.h"
#include "game/BattleWorld.h"
#include "net/NetHost.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr long kJumpBeyond = 8;   // a lead this far below the low mark is made good at once
constexpr int kUnknownLead = -127; // the host has no controls of this machine's yet

// The controls as the host will read them: what this machine predicts with is what the host gets.
PlayerInput asSent(const PlayerInput &controls) {
    const PlayerInput limited = controls.limited();
    return {NetProtocol::controlOf(NetProtocol::quantiseControl(limited.throttle)),
            NetProtocol::controlOf(NetProtocol::quantiseControl(limited.turn)), limited.fire};
}

} // namespace

NetClient::NetClient(std::unique_ptr<Transport> transport, std::string playerName, std::string buildId,
                     DataCheck check)
    : transport(std::move(transport)), playerName(std::move(playerName)), buildId(std::move(buildId)),
      check(std::move(check)) {}

NetClient::~NetClient() = default;

void NetClient::say(std::string line) {
    std::printf("Network: %s\n", line.c_str());
    std::fflush(stdout);
    messages.push_back(std::move(line));
}

std::vector<std::string> NetClient::takeMessages() {
    std::vector<std::string> taken;
    taken.swap(messages);
    return taken;
}

void NetClient::fail(Phase why, std::string text) {
    if (phase == Phase::kRefused || phase == Phase::kLost)
        return; // the first word on it stands
    phase = why;
    problem = std::move(text);
    std::fprintf(stderr, "Error: network: %s\n", problem.c_str());
    if (connected) {
        transport->flush();
        transport->disconnect(host);
        connected = false;
    }
}

void NetClient::send(Transport::Channel channel, const NetProtocol::Message &message) {
    if (!connected || transport == nullptr)
        return;
    const std::vector<std::uint8_t> bytes = NetProtocol::encode(message);
    transport->send(host, channel, bytes.data(), bytes.size());
}

void NetClient::service(std::uint32_t nowMs) {
    lastServiceMs = nowMs;
    if (phase == Phase::kRejoining && !dialing && nowMs - dialedMs >= kRedialMs)
        dial(nowMs);
    Transport::Event event;
    while (transport != nullptr && transport->poll(nowMs, event)) {
        switch (event.kind) {
        case Transport::Event::kConnected:
            host = event.peer;
            connected = true;
            dialing = false;
            heardYet = true;
            lastHeardMs = nowMs;
            send(Transport::Channel::kReliable,
                 NetProtocol::Hello{NetProtocol::kVersion, buildId, playerName, welcome.rejoinToken});
            transport->flush();
            break;
        case Transport::Event::kDisconnected: {
            const bool wasConnected = connected;
            connected = false;
            dialing = false;
            const std::string why = transport->failure();
            if (phase == Phase::kRejoining)
                break; // this try failed: the next one follows
            if (phase == Phase::kPlaying && wasConnected)
                lost("Connection lost", nowMs);
            else
                fail(Phase::kLost, wasConnected || why.empty() ? "Connection lost" : "Cannot connect: " + why);
            break;
        }
        case Transport::Event::kReceived:
            if (event.peer == host && connected)
                onPacket(event.data, nowMs);
            break;
        }
    }
    if (phase == Phase::kRejoining && nowMs - rejoinSinceMs > kRejoinMs)
        fail(Phase::kLost, "Connection lost: no way back into the battle within a minute");
    // Before the start the host has nothing to say; the connection's own pings watch it then.
    if (connected && phase == Phase::kPlaying && heardYet) {
        const std::uint32_t silent = nowMs - lastHeardMs;
        if (silent > kSilenceMs) {
            lost("Connection lost", nowMs);
        } else if (silent >= kInterruptedMs && !interrupted) {
            interrupted = true;
            say("Connection interrupted");
        }
    }
    if (connected && (phase == Phase::kWaiting || phase == Phase::kPlaying) && nowMs - lastSentMs >= kKeepAliveMs)
        sendInputs(nowMs); // the host takes a silent client for a lost one
}

void NetClient::onPacket(const std::vector<std::uint8_t> &data, std::uint32_t nowMs) {
    const std::optional<NetProtocol::Message> message = NetProtocol::decode(data.data(), data.size());
    if (!message) {
        ++refusedPackets;
        return;
    }
    if (interrupted) {
        interrupted = false;
        resumedTick = clientTick + 1;
        say("Connection back after " + std::to_string((nowMs - lastHeardMs) / 1000) + " s");
    }
    lastHeardMs = nowMs;
    if (const auto *offer = std::get_if<NetProtocol::Welcome>(&*message)) {
        if (phase == Phase::kConnecting)
            onWelcome(*offer);
        else if (phase == Phase::kRejoining)
            onWelcomeBack(*offer);
    } else if (const auto *refused = std::get_if<NetProtocol::Refused>(&*message)) {
        switch (refused->reason) {
        case NetProtocol::Refusal::kVersion:
            fail(Phase::kRefused, "Refused by the host: it speaks another protocol version (" + refused->detail +
                                      "), this game version " + std::to_string(NetProtocol::kVersion));
            break;
        case NetProtocol::Refusal::kData:
            fail(Phase::kRefused, "Refused by the host: its data differ from this game's (" + refused->detail + ")");
            break;
        case NetProtocol::Refusal::kFull:
            fail(Phase::kRefused, "Refused by the host: the battle is full");
            break;
        case NetProtocol::Refusal::kLevel:
            fail(Phase::kRefused, "Refused by the host: " + refused->detail);
            break;
        }
    } else if (const auto *start = std::get_if<NetProtocol::Start>(&*message)) {
        if (phase == Phase::kRejoining && rejoinReady) { // its ticks go on: the host's states move them
            phase = Phase::kPlaying;
            rejoinReady = false;
            say("Back in the battle");
        } else if (phase == Phase::kWaiting) {
            phase = Phase::kPlaying;
            startTick = start->tick;
            clientTick = startTick;
            say("The battle starts");
        }
    } else if (const auto *snapshot = std::get_if<NetProtocol::Snapshot>(&*message)) {
        if (phase != Phase::kPlaying)
            return;
        const NetProtocol::WorldState *base = snapshot->baseTick != 0 ? follower.stateOf(snapshot->baseTick) : nullptr;
        const std::optional<NetProtocol::WorldState> state = NetProtocol::apply(*snapshot, base);
        if (!state) {
            ++refusedPackets;
            return;
        }
        if (static_cast<long>(state->tick) >= clientTick) // behind the host itself: no use steering gently
            clientTick = static_cast<long>(state->tick) + (kLowLead + kHighLead) / 2;
        follower.receive(*state, clientTick, snapshot->goneTanks, &snapshot->state.tanks);
        pausedBy = state->pausedBy;
    } else if (const auto *happened = std::get_if<NetProtocol::Events>(&*message)) {
        // This machine runs ahead of the host, and a state it lacks moves it on: an honest host's
        // events are never far past its tick; one far in the future would hold the queue for ever.
        if (static_cast<long>(happened->tick) > clientTick + kMaxEventsAhead || !follower.receive(*happened))
            ++refusedPackets;
    } else if (const auto *pause = std::get_if<NetProtocol::Pause>(&*message)) {
        const int now = pause->paused ? pause->player : -1;
        if (now == pausedBy)
            return; // told again while paused, to show that the host is still there
        pausedBy = now;
        say(pause->paused ? "Paused by player " + std::string(playerWord(pause->player))
                          : "Player " + std::string(playerWord(pause->player)) + " resumed the battle");
    } else if (const auto *status = std::get_if<NetProtocol::PlayerStatus>(&*message)) {
        if (status->player != welcome.yourPlayer) // this machine knows what became of its own player
            say("Player " + std::string(playerWord(status->player)) + " " + NetProtocol::statusWords(status->kind));
    } else if (std::holds_alternative<NetProtocol::Bye>(*message)) {
        fail(Phase::kLost, "The host left the battle");
    } else {
        ++refusedPackets; // a host's message only: greetings and controls are not the host's to send
    }
}

void NetClient::onWelcome(const NetProtocol::Welcome &offer) {
    if (offer.version != NetProtocol::kVersion) {
        send(Transport::Channel::kReliable,
             NetProtocol::Refused{NetProtocol::Refusal::kVersion, "version " + std::to_string(NetProtocol::kVersion)});
        fail(Phase::kRefused, "Cannot join: the host speaks protocol version " + std::to_string(offer.version) +
                                  ", this game version " + std::to_string(NetProtocol::kVersion));
        return;
    }
    const std::optional<std::string> hash = check(offer.levelFile);
    if (!hash || *hash != offer.dataHash) {
        const std::string detail = hash ? "level " + offer.levelFile + " data " + *hash : "no level " + offer.levelFile;
        send(Transport::Channel::kReliable, NetProtocol::Refused{NetProtocol::Refusal::kData, detail});
        fail(Phase::kRefused, hash ? "Cannot join: this game's data differ from the host's (level " + offer.levelFile + ")"
                                   : "Cannot join: this game has no level " + GamePaths::current().data("level/" + offer.levelFile));
        return;
    }
    welcome = offer;
    follower = WorldFollower(offer.yourPlayer);
    phase = Phase::kWaiting;
    send(Transport::Channel::kReliable, NetProtocol::Ready{*hash});
    transport->flush();
    say("Joined the battle on " + offer.levelFile + " as player " + playerWord(offer.yourPlayer));
}

void NetClient::onWelcomeBack(const NetProtocol::Welcome &offer) {
    if (offer.version != NetProtocol::kVersion || offer.levelFile != welcome.levelFile ||
        offer.dataHash != welcome.dataHash || offer.yourPlayer != welcome.yourPlayer || !offer.started) {
        fail(Phase::kLost, "Connection lost: the host has no place for this machine in its battle any more");
        return;
    }
    welcome.rejoinToken = offer.rejoinToken;
    rejoinReady = true;
    send(Transport::Channel::kReliable, NetProtocol::Ready{welcome.dataHash});
    transport->flush();
}

void NetClient::lost(std::string text, std::uint32_t nowMs) {
    if (!redial || welcome.rejoinToken == 0 || phase != Phase::kPlaying) {
        fail(Phase::kLost, std::move(text));
        return;
    }
    say(text + ": joining the battle again");
    if (connected)
        transport->disconnect(host);
    connected = false;
    interrupted = false;
    phase = Phase::kRejoining;
    rejoinSinceMs = nowMs;
    dial(nowMs);
}

void NetClient::dial(std::uint32_t nowMs) {
    dialedMs = nowMs;
    transport = redial();
    dialing = transport != nullptr;
}

std::uint32_t NetClient::getInterruptedMs() const {
    const std::uint32_t silent = lastServiceMs - lastHeardMs;
    return phase == Phase::kPlaying && connected && heardYet && silent >= kInterruptedMs ? silent : 0;
}

std::string NetClient::notice() const {
    if (phase == Phase::kRejoining)
        return "Connection lost: joining the battle again (" + std::to_string(getRejoiningMs() / 1000) + " s)";
    if (const std::uint32_t silent = getInterruptedMs())
        return "Connection interrupted for " + std::to_string(silent / 1000) + " s";
    return {};
}

int NetClient::ticksToRun(int paced) {
    if (phase != Phase::kPlaying || pausedBy >= 0)
        return 0;
    const NetProtocol::WorldState *newest = follower.newest();
    if (newest == nullptr || newest->inputLead == kUnknownLead || getInterruptedMs() > 0 ||
        static_cast<long>(newest->tick) + newest->inputLead < resumedTick)
        return paced; // no word on the lead, or one from before the connection was interrupted
    if (steerWait > 0) {
        steerWait -= paced;
    } else if (newest->inputLead < kLowLead || newest->inputLead > kHighLead) {
        owedTicks = newest->inputLead - (kLowLead + kHighLead) / 2; // > 0: ahead too far
        steerWait = kSteerPause;
    }
    int run = paced;
    if (owedTicks < -kJumpBeyond) { // far behind: the controls of the ticks in between are not sent
        clientTick += -owedTicks;
        owedTicks = 0;
    } else if (owedTicks < 0) {
        ++run;
        ++owedTicks;
    } else if (owedTicks > 0) {
        const int left = static_cast<int>(std::min<long>(owedTicks, run));
        run -= left;
        owedTicks -= left;
    }
    return run;
}

void NetClient::tick(BattleWorld &world, const PlayerInput &controls, std::uint32_t nowMs) {
    if (phase != Phase::kPlaying)
        return;
    ++clientTick;
    // Cut off from the host, the tank stands, as the host soon has it stand.
    const PlayerInput sent = getInterruptedMs() > 0 ? PlayerInput{} : asSent(controls);
    world.tickFollowing(welcome.yourPlayer, sent);
    follower.apply(world, clientTick);
    if (!recentInputs.empty() && recentTick != clientTick - 1)
        recentInputs.clear(); // the ticks jumped: only consecutive ones go out together
    recentInputs.push_back(sent);
    recentTick = clientTick;
    while (recentInputs.size() > NetProtocol::kMaxInputs)
        recentInputs.pop_front();
    if (clientTick % kInputTicks == 0) // each packet carries the ticks since the last one, and more
        sendInputs(nowMs);
}

void NetClient::sendInputs(std::uint32_t nowMs) {
    if (!connected)
        return;
    lastSentMs = nowMs;
    if (recentInputs.empty()) { // no tick played yet: the greeting again says that this machine is there
        send(Transport::Channel::kReliable, NetProtocol::Ready{welcome.dataHash});
        transport->flush();
        return;
    }
    NetProtocol::Input input;
    input.newestTick = static_cast<std::uint32_t>(recentTick);
    input.inputs.assign(recentInputs.begin(), recentInputs.end());
    const NetProtocol::WorldState *newest = follower.newest();
    input.snapshotAck = newest != nullptr ? newest->tick : 0;
    send(Transport::Channel::kUnreliable, input);
    transport->flush();
}

void NetClient::requestPause(bool paused) {
    if (!connected)
        return;
    send(Transport::Channel::kReliable, NetProtocol::Pause{paused, static_cast<std::int8_t>(welcome.yourPlayer)});
    transport->flush();
}

void NetClient::leave() {
    if (!connected)
        return;
    send(Transport::Channel::kReliable, NetProtocol::Bye{});
    transport->flush();
    if (connected)
        transport->disconnect(host);
    connected = false;
}
