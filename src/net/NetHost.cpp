#include "net/NetHost.h"

#include "game/BattleWorld.h"
#include "net/WorldCapture.h"
#include "objects/Fahrzeug.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::size_t kStatesKept = 64; // states a client may send its confirmation of

} // namespace

const char *playerWord(int player) {
    static const char *const words[kMaxPlayers] = {"one", "two", "three", "four"};
    return player >= 0 && player < kMaxPlayers ? words[player] : "?";
}

NetHost::NetHost(std::unique_ptr<Transport> transport, Offer offer)
    : transport(std::move(transport)), offer(std::move(offer)) {
    this->offer.players = std::clamp(this->offer.players, 1, kMaxPlayers);
}

NetHost::~NetHost() = default;

int NetHost::placeOf(Transport::PeerId peer) const {
    for (int player = 0; player < kMaxPlayers; ++player)
        if (places[static_cast<std::size_t>(player)].taken && places[static_cast<std::size_t>(player)].peer == peer)
            return player;
    return -1;
}

bool NetHost::isConnected(int player) const {
    return player >= 0 && player < kMaxPlayers && places[static_cast<std::size_t>(player)].ready;
}

bool NetHost::everyoneIn() const {
    for (int player = offer.hostPlays ? 1 : 0; player < offer.players; ++player)
        if (!places[static_cast<std::size_t>(player)].ready)
            return false;
    return true;
}

void NetHost::say(std::string line) {
    std::printf("Network: %s\n", line.c_str());
    std::fflush(stdout);
    messages.push_back(std::move(line));
}

std::vector<std::string> NetHost::takeMessages() {
    std::vector<std::string> taken;
    taken.swap(messages);
    return taken;
}

void NetHost::send(Transport::PeerId peer, Transport::Channel channel, const NetProtocol::Message &message) {
    const std::vector<std::uint8_t> bytes = NetProtocol::encode(message);
    if (bytes.size() > Transport::kMaxPacketBytes) {
        if (oversized++ == 0)
            std::fprintf(stderr, "Error: network: a message of %zu bytes (type %u) is too large to send\n", bytes.size(),
                         static_cast<unsigned>(bytes[0]));
        return;
    }
    transport->send(peer, channel, bytes.data(), bytes.size());
}

void NetHost::sendReliable(Transport::PeerId peer, const NetProtocol::Message &message) {
    send(peer, Transport::Channel::kReliable, message);
}

void NetHost::sendToReady(const NetProtocol::Message &message) {
    for (const Place &place : places)
        if (place.ready)
            sendReliable(place.peer, message);
}

void NetHost::refuse(Transport::PeerId peer, NetProtocol::Refusal reason, const std::string &detail) {
    sendReliable(peer, NetProtocol::Refused{reason, detail.substr(0, NetProtocol::kMaxString)});
    transport->flush();
    transport->disconnect(peer);
    strangers.erase(peer);
}

std::size_t NetHost::getQueuedInputs(int player) const {
    return player >= 0 && player < kMaxPlayers ? places[static_cast<std::size_t>(player)].inputs.size() : 0;
}

bool NetHost::refusedTooOften(Refusals &refusals, Transport::PeerId peer, std::uint32_t nowMs) {
    ++refusedPackets;
    const std::uint32_t drained = (nowMs - refusals.drainedMs) / kRefusedDrainMs;
    if (drained >= refusals.piled) {
        refusals.piled = 0;
        refusals.drainedMs = nowMs;
    } else {
        refusals.piled -= drained;
        refusals.drainedMs += drained * kRefusedDrainMs; // the part of a step already gone counts on
    }
    if (++refusals.piled <= kMaxRefusedPackets)
        return false;
    transport->disconnect(peer);
    return true;
}

void NetHost::service(std::uint32_t nowMs) {
    Transport::Event event;
    while (transport->poll(nowMs, event)) {
        switch (event.kind) {
        case Transport::Event::kConnected:
            strangers[event.peer] = Stranger{nowMs, Refusals{0, nowMs}};
            break;
        case Transport::Event::kDisconnected: {
            strangers.erase(event.peer);
            const int player = placeOf(event.peer);
            if (player >= 0)
                lose(player, NetProtocol::PlayerStatus::kLost);
            break;
        }
        case Transport::Event::kReceived:
            onPacket(event.peer, event.data, nowMs);
            break;
        }
    }
    for (int player = 0; player < kMaxPlayers; ++player) {
        Place &place = places[static_cast<std::size_t>(player)];
        const std::uint32_t silent = nowMs - place.lastHeardMs;
        if (place.taken && silent > kSilenceMs) {
            transport->disconnect(place.peer);
            lose(player, NetProtocol::PlayerStatus::kLost);
        } else if (place.ready && silent >= kInterruptedMs && !place.interrupted) {
            place.interrupted = true;
            say("Player " + std::string(playerWord(player)) + "'s connection is interrupted");
        }
    }
    for (auto it = strangers.begin(); it != strangers.end();) {
        if (nowMs - it->second.sinceMs > kPendingMs) { // connected, but never said who it is
            transport->disconnect(it->first);
            it = strangers.erase(it);
        } else {
            ++it;
        }
    }
    if (pausedBy >= 0 && nowMs - lastSentMs >= kKeepAliveMs) { // the clients would take a silent host for a lost one
        if (lastState) {
            sendStates(nowMs);
        } else { // paused before the first state: the pause itself says that the host is there
            lastSentMs = nowMs;
            sendToReady(NetProtocol::Pause{true, static_cast<std::int8_t>(pausedBy)});
            transport->flush();
        }
    }
}

void NetHost::onPacket(Transport::PeerId peer, const std::vector<std::uint8_t> &data, std::uint32_t nowMs) {
    const std::optional<NetProtocol::Message> message = NetProtocol::decode(data.data(), data.size());
    const int player = placeOf(peer);
    if (player >= 0) {
        Place &place = places[static_cast<std::size_t>(player)];
        if (!message) {
            if (refusedTooOften(place.refused, peer, nowMs))
                lose(player, NetProtocol::PlayerStatus::kLost);
            return;
        }
        place.lastHeardMs = nowMs;
        if (place.interrupted) {
            place.interrupted = false;
            say("Player " + std::string(playerWord(player)) + "'s connection is back");
        }
        onPlaceMessage(player, *message, nowMs);
        return;
    }
    const auto stranger = strangers.find(peer);
    if (stranger == strangers.end())
        return; // a peer this host already let go
    if (message && std::holds_alternative<NetProtocol::Hello>(*message)) {
        onHello(peer, std::get<NetProtocol::Hello>(*message), nowMs);
    } else if (refusedTooOften(stranger->second.refused, peer, nowMs)) {
        strangers.erase(stranger);
    }
}

void NetHost::onHello(Transport::PeerId peer, const NetProtocol::Hello &hello, std::uint32_t nowMs) {
    if (hello.version != NetProtocol::kVersion) {
        say("Refused a player: it speaks protocol version " + std::to_string(hello.version) + " (build " +
            hello.buildId + "), this game version " + std::to_string(NetProtocol::kVersion));
        refuse(peer, NetProtocol::Refusal::kVersion,
               "version " + std::to_string(NetProtocol::kVersion) + " (build " + offer.buildId + ")");
        return;
    }
    const int player = placeFor(hello, nowMs);
    if (player < 0) {
        say("Refused a player: every place is taken");
        refuse(peer, NetProtocol::Refusal::kFull, std::to_string(offer.players) + " players");
        return;
    }
    const auto stranger = strangers.find(peer);
    const Refusals refused = stranger != strangers.end() ? stranger->second.refused : Refusals{0, nowMs};
    strangers.erase(peer);
    Place &place = places[static_cast<std::size_t>(player)];
    if (place.taken) // the old connection of an interrupted place: its player is here again
        transport->disconnect(place.peer);
    const bool wasThere = place.everJoined;
    const std::uint64_t token = place.token != 0 ? place.token : tokens() | 1u; // never 0: that is no token
    place = Place{};
    place.everJoined = wasThere;
    place.token = token;
    place.refused = refused; // saying hello anew wipes nothing: the refusals belong to the connection
    place.peer = peer;
    place.taken = true;
    place.lastHeardMs = nowMs;
    NetProtocol::Welcome welcome;
    welcome.buildId = offer.buildId;
    welcome.levelFile = offer.levelFile;
    welcome.dataHash = offer.dataHash;
    welcome.players = static_cast<std::uint8_t>(offer.players);
    welcome.yourPlayer = static_cast<std::uint8_t>(player);
    welcome.seed = offer.seed;
    welcome.started = started;
    welcome.rejoinToken = token;
    sendReliable(peer, welcome);
}

// The place a Hello gets: the one its token names; else one whose player lost the connection (the
// same player, most likely, joining again by hand); else a free one; else one whose connection is
// interrupted (a game that crashed and started again); -1 when there is none.
int NetHost::placeFor(const NetProtocol::Hello &hello, std::uint32_t nowMs) const {
    const int first = offer.hostPlays ? 1 : 0;
    if (hello.rejoinToken != 0)
        for (int player = first; player < offer.players; ++player)
            if (places[static_cast<std::size_t>(player)].token == hello.rejoinToken)
                return player;
    for (int player = first; player < offer.players; ++player) {
        const Place &place = places[static_cast<std::size_t>(player)];
        if (!place.taken && (place.everJoined || !started))
            return player;
    }
    for (int player = first; player < offer.players; ++player)
        if (!places[static_cast<std::size_t>(player)].taken)
            return player;
    for (int player = first; player < offer.players; ++player) {
        const Place &place = places[static_cast<std::size_t>(player)];
        if (place.ready && nowMs - place.lastHeardMs >= kInterruptedMs)
            return player;
    }
    return -1;
}

void NetHost::onPlaceMessage(int player, const NetProtocol::Message &message, std::uint32_t nowMs) {
    Place &place = places[static_cast<std::size_t>(player)];
    const std::string who = "Player " + std::string(playerWord(player));
    if (const auto *ready = std::get_if<NetProtocol::Ready>(&message)) {
        if (place.ready)
            return;
        if (ready->dataHash != offer.dataHash) {
            say("Refused player " + std::string(playerWord(player)) + ": its data differ from this game's (level " +
                offer.levelFile + ")");
            place.taken = false;
            refuse(place.peer, NetProtocol::Refusal::kData, "level " + offer.levelFile + " data " + offer.dataHash);
            return;
        }
        place.ready = true;
        say(who + " " + NetProtocol::statusWords(place.everJoined ? NetProtocol::PlayerStatus::kBack
                                                                  : NetProtocol::PlayerStatus::kJoined));
        sendToReady(NetProtocol::PlayerStatus{static_cast<std::uint8_t>(player),
                                              place.everJoined ? NetProtocol::PlayerStatus::kBack
                                                               : NetProtocol::PlayerStatus::kJoined});
        place.everJoined = true;
        if (started) {
            sendReliable(place.peer, NetProtocol::Start{static_cast<std::uint32_t>(startTick)});
            if (pausedBy >= 0)
                sendReliable(place.peer, NetProtocol::Pause{true, static_cast<std::int8_t>(pausedBy)});
        }
        return;
    }
    if (const auto *refused = std::get_if<NetProtocol::Refused>(&message)) {
        say("Player " + std::string(playerWord(player)) + " refused the battle: " +
            (refused->reason == NetProtocol::Refusal::kData ? "its data differ from this game's"
                                                           : "it does not take this game") +
            (refused->detail.empty() ? "" : " (" + refused->detail + ")"));
        transport->disconnect(place.peer);
        place.taken = false;
        place.ready = false;
        return;
    }
    if (std::holds_alternative<NetProtocol::Bye>(message)) {
        transport->disconnect(place.peer);
        lose(player, NetProtocol::PlayerStatus::kLeft);
        return;
    }
    if (!place.ready) {
        if (refusedTooOften(place.refused, place.peer, nowMs))
            lose(player, NetProtocol::PlayerStatus::kLost);
        return;
    }
    if (const auto *input = std::get_if<NetProtocol::Input>(&message)) {
        const long newest = static_cast<long>(input->newestTick);
        const long now = hostTick;
        if (newest > now + kMaxInputAhead) { // a clock that runs wild, or a lie: nothing of it is used
            if (refusedTooOften(place.refused, place.peer, nowMs))
                lose(player, NetProtocol::PlayerStatus::kLost);
            return;
        }
        const long first = newest - static_cast<long>(input->inputs.size()) + 1;
        for (std::size_t i = 0; i < input->inputs.size(); ++i) {
            const long tick = first + static_cast<long>(i);
            if (tick > now)
                place.inputs[tick] = input->inputs[i].limited();
        }
        place.newestInput = std::max(place.newestInput, newest);
        if (input->snapshotAck > place.ackTick) {
            place.ackTick = input->snapshotAck;
            for (const NetProtocol::WorldState &old : place.sent)
                if (old.tick == place.ackTick)
                    place.confirmed = old;
        }
        return;
    }
    if (const auto *pause = std::get_if<NetProtocol::Pause>(&message)) {
        setPause(pause->paused, player); // the player pauses as itself, whatever the packet names
        return;
    }
    if (refusedTooOften(place.refused, place.peer, nowMs)) // Hello again, Welcome, states: not a client's to send
        lose(player, NetProtocol::PlayerStatus::kLost);
}

void NetHost::lose(int player, NetProtocol::PlayerStatus::Kind how) {
    Place &place = places[static_cast<std::size_t>(player)];
    if (!place.taken)
        return;
    const bool wasReady = place.ready;
    place.taken = false;
    place.ready = false;
    place.inputs.clear();
    place.held = PlayerInput{};
    if (wasReady) {
        say("Player " + std::string(playerWord(player)) + " " + NetProtocol::statusWords(how));
        sendToReady(NetProtocol::PlayerStatus{static_cast<std::uint8_t>(player), how});
    }
}

void NetHost::start(long tick) {
    started = true;
    startTick = tick;
    hostTick = tick;
    sendToReady(NetProtocol::Start{static_cast<std::uint32_t>(tick)});
}

void NetHost::fillInputs(TickInput &input, long tick) {
    for (int player = offer.hostPlays ? 1 : 0; player < offer.players; ++player) {
        Place &place = places[static_cast<std::size_t>(player)];
        if (!place.ready) {
            input[static_cast<std::size_t>(player)] = PlayerInput{};
            continue;
        }
        const auto due = place.inputs.find(tick);
        if (due != place.inputs.end())
            place.held = due->second;
        else if (tick > place.newestInput + kHoldTicks)
            place.held = PlayerInput{}; // its controls stopped coming: the tank stands until they come again

        place.inputs.erase(place.inputs.begin(), place.inputs.upper_bound(tick));
        input[static_cast<std::size_t>(player)] = place.held;
    }
}

void NetHost::afterTick(const BattleWorld &world, std::uint32_t nowMs) {
    const long tick = world.getTickCount();
    hostTick = tick;
    NetProtocol::Events happened{static_cast<std::uint32_t>(tick), {}};
    for (const BattleEvent &event : world.getEvents()) {
        NetProtocol::Event sentEvent;
        sentEvent.kind = static_cast<std::uint8_t>(event.kind);
        for (int i = 0; i < 3; ++i)
            sentEvent.pos[static_cast<std::size_t>(i)] = NetProtocol::quantisePosition(event.pos[i]);
        sentEvent.player = static_cast<std::int8_t>(event.player);
        happened.events.push_back(sentEvent);
        if (happened.events.size() == NetProtocol::kMaxEvents) {
            sendToReady(happened);
            happened.events.clear();
        }
    }
    if (!happened.events.empty())
        sendToReady(happened);
    if (tick % NetProtocol::kStateTicks == 0 || world.getOutcome() != BattleRules::kRunning) {
        std::array<std::uint8_t, kMaxPlayers> playerTanks{};
        for (int player = 0; player < kMaxPlayers; ++player) {
            const Fahrzeug *own = world.getPlayerVehicle(player);
            playerTanks[static_cast<std::size_t>(player)] =
                own != nullptr && own->getSerial() <= 255 ? static_cast<std::uint8_t>(own->getSerial()) : 0;
        }
        sendState(captureWorld(world), playerTanks, nowMs);
    }
}

void NetHost::sendState(NetProtocol::WorldState state, const std::array<std::uint8_t, kMaxPlayers> &playerTanks,
                        std::uint32_t nowMs) {
    hostTick = std::max(hostTick, static_cast<long>(state.tick));
    for (const NetProtocol::TankState &tank : state.tanks)
        seenTanks[tank.id] = true;
    for (std::size_t id = 1; id < seenTanks.size(); ++id)
        if (seenTanks[id] && goneTicks.count(static_cast<std::uint8_t>(id)) == 0 &&
            NetProtocol::findTank(state.tanks, static_cast<std::uint8_t>(id)) == nullptr)
            goneTicks[static_cast<std::uint8_t>(id)] = static_cast<long>(state.tick);
    // When each shell first flew, for how long it has waited to be told.
    std::map<std::uint16_t, long> born;
    for (const NetProtocol::ShellState &shell : state.shells) {
        const auto known = shellBorn.find(shell.id);
        born[shell.id] = known != shellBorn.end() ? known->second : static_cast<long>(state.tick);
    }
    shellBorn.swap(born);
    ownTanks = playerTanks;
    lastState = std::move(state);
    sendStates(nowMs);
}

void NetHost::sendStates(std::uint32_t nowMs) {
    lastSentMs = nowMs;
    NetProtocol::WorldState state = *lastState;
    state.pausedBy = static_cast<std::int8_t>(pausedBy);
    for (int player = 0; player < kMaxPlayers; ++player) {
        Place &place = places[static_cast<std::size_t>(player)];
        if (!place.ready)
            continue;
        // -127 says that no controls came yet; a real lead is told within -126 .. 127.
        const long lead = place.newestInput < 0 ? -127 : std::clamp(place.newestInput - static_cast<long>(state.tick), -126L, 127L);
        state.inputLead = static_cast<std::int8_t>(lead);
        const NetProtocol::WorldState *base = nullptr;
        for (const NetProtocol::WorldState &old : place.sent)
            if (place.ackTick != 0 && old.tick == place.ackTick && old.tick != state.tick)
                base = &old;
        if (base == nullptr && place.confirmed && place.confirmed->tick == place.ackTick &&
            place.confirmed->tick != state.tick)
            base = &*place.confirmed; // an outage outlasted the states kept: the last one it confirmed
        // Once the battle is decided a state goes every tick, each with that tick's share.
        const long since = static_cast<long>(state.tick) - place.stateTick;
        const std::size_t budget =
            place.stateTick < 0 || since <= 0 ? kStateBudgetBytes
                                              : std::min(kStateBudgetBytes, kStateBytesPerTick * static_cast<std::size_t>(since));
        place.stateTick = static_cast<long>(state.tick);
        const NetProtocol::Snapshot snapshot = snapshotFor(player, state, base, budget);
        // Kept as the client will rebuild it (its shells carried on), so that the differences sent
        // from it later are the client's own.
        if (std::optional<NetProtocol::WorldState> rebuilt = NetProtocol::apply(snapshot, base)) {
            if (!place.sent.empty() && place.sent.back().tick == rebuilt->tick)
                place.sent.pop_back(); // sent again while paused
            place.sent.push_back(std::move(*rebuilt));
            while (place.sent.size() > kStatesKept)
                place.sent.pop_front();
        }
        send(place.peer, Transport::Channel::kUnreliable, snapshot);
    }
    transport->flush();
}

NetProtocol::Snapshot NetHost::snapshotFor(int player, const NetProtocol::WorldState &state,
                                           const NetProtocol::WorldState *base, std::size_t budget) {
    Place &place = places[static_cast<std::size_t>(player)];
    NetProtocol::Snapshot snapshot = NetProtocol::diff(state, base);
    // A whole state says which tanks are gone, whatever the client saw of them; a difference says
    // it of the base's tanks, and for a while of any that went.
    for (const auto &[id, tick] : goneTicks)
        if (snapshot.baseTick == 0 || (static_cast<long>(state.tick) - tick <= kGoneTicks &&
                                       NetProtocol::findTank(base->tanks, id) == nullptr))
            snapshot.goneTanks.push_back(id);
    std::sort(snapshot.goneTanks.begin(), snapshot.goneTanks.end());
    // What matters most goes first: the player's own tank and any tank whose life or status
    // changed; then the others by how long they have waited against how often they should be told,
    // every state near the player's tank, every fourth 180 units away, so that none waits long.
    const NetProtocol::TankState *own = NetProtocol::findTank(state.tanks, ownTanks[static_cast<std::size_t>(player)]);
    const auto distance = [own](const std::array<std::int16_t, 3> &pos) {
        if (own == nullptr)
            return 0.0f;
        const float dx = NetProtocol::positionOf(pos[0]) - NetProtocol::positionOf(own->pos[0]);
        const float dz = NetProtocol::positionOf(pos[2]) - NetProtocol::positionOf(own->pos[2]);
        return std::sqrt(dx * dx + dz * dz);
    };
    const auto urgency = [&](float waitedTicks, const std::array<std::int16_t, 3> &pos) {
        return waitedTicks / (NetProtocol::kStateTicks + distance(pos) / 20.0f);
    };
    const NetProtocol::WorldState &carried = snapshot.state;
    std::vector<std::pair<float, NetProtocol::Pick>> picks;
    for (std::size_t i = 0; i < carried.tanks.size(); ++i) {
        const NetProtocol::TankState &tank = carried.tanks[i];
        const bool first = (own != nullptr && tank.id == own->id) ||
                           (i < snapshot.tankFields.size() && (snapshot.tankFields[i] & NetProtocol::kTankLife));
        const float waited = static_cast<float>(static_cast<long>(state.tick) - place.toldTick[tank.id]);
        picks.push_back({first ? 1e9f : urgency(waited, tank.pos), {false, i}});
    }
    // A shell goes out in every state until the client's base has it: the client shows only the
    // shells of its rebuilt states. A tank told once waits its turn again: the client shows each
    // tank from the newest word on it, whichever state brought it.
    const auto inBase = [base](std::uint16_t id) {
        if (base == nullptr)
            return false;
        const auto at = std::lower_bound(base->shells.begin(), base->shells.end(), id,
                                         [](const NetProtocol::ShellState &shell, std::uint16_t wanted) { return shell.id < wanted; });
        return at != base->shells.end() && at->id == id;
    };
    for (std::size_t i = 0; i < carried.shells.size(); ++i) {
        const auto told = place.toldShells.find(carried.shells[i].id);
        const auto born = shellBorn.find(carried.shells[i].id);
        const long since = told != place.toldShells.end() && inBase(carried.shells[i].id) ? told->second
                           : born != shellBorn.end()                                       ? born->second
                                                                                          : static_cast<long>(state.tick);
        picks.push_back({urgency(static_cast<float>(static_cast<long>(state.tick) - since + NetProtocol::kStateTicks),
                                 carried.shells[i].pos),
                         {true, i}});
    }
    std::stable_sort(picks.begin(), picks.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    std::vector<NetProtocol::Pick> order;
    for (const auto &entry : picks)
        order.push_back(entry.second);
    NetProtocol::fit(snapshot, budget, order);
    for (const NetProtocol::TankState &tank : snapshot.state.tanks)
        place.toldTick[tank.id] = static_cast<long>(state.tick);
    for (auto told = place.toldShells.begin(); told != place.toldShells.end();) // the shells gone are forgotten
        told = shellBorn.count(told->first) != 0 ? std::next(told) : place.toldShells.erase(told);
    for (const NetProtocol::ShellState &shell : snapshot.state.shells)
        place.toldShells[shell.id] = static_cast<long>(state.tick);
    return snapshot;
}

void NetHost::setPause(bool paused, int player) {
    const int now = paused ? player : -1;
    if (now == pausedBy || (!paused && pausedBy < 0))
        return;
    pausedBy = now;
    if (paused)
        say("Paused by player " + std::string(playerWord(player)));
    else
        say("Player " + std::string(playerWord(player)) + " resumed the battle");
    sendToReady(NetProtocol::Pause{paused, static_cast<std::int8_t>(player)});
}

void NetHost::leave() {
    for (Place &place : places) {
        if (place.taken) {
            sendReliable(place.peer, NetProtocol::Bye{});
            transport->flush();
            transport->disconnect(place.peer);
            place.taken = false;
            place.ready = false;
        }
    }
}
