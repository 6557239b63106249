// The handshake and the connection's life between a host and its clients, over a simulated network
// without delay: who is let in, who is refused and why (on both sides), silence, return, pause, and
// what the host does with packets it cannot use.
#include "net/NetClient.h"
#include "net/NetHost.h"
#include "net/SimulatedNetwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const char *kHash = "0123456789abcdef";

NetHost::Offer offer(int players = 2) {
    NetHost::Offer o;
    o.levelFile = "lvl1.lvl";
    o.dataHash = kHash;
    o.buildId = "build-a";
    o.players = players;
    o.seed = 5;
    return o;
}

// A client whose data has the level with `hash` (none: no such level).
std::unique_ptr<NetClient> client(SimulatedNetwork &net, std::optional<std::string> hash = std::string(kHash)) {
    return std::make_unique<NetClient>(net.client(), "Anna", "build-b",
                                       [hash](const std::string &) { return hash; });
}

bool said(const std::vector<std::string> &lines, const std::string &part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string &l) { return l.find(part) != std::string::npos; });
}

class NetSessionTest : public ::testing::Test {
  protected:

    // Runs host and clients for `ms` milliseconds in steps of 10; gathers the host's lines.
    void run(std::uint32_t ms, NetHost &host, const std::vector<NetClient *> &clients) {
        for (const std::uint32_t end = now + ms; now < end;) {
            now += 10;
            host.service(now);
            for (NetClient *c : clients)
                c->service(now);
            const std::vector<std::string> lines = host.takeMessages();
            hostLines.insert(hostLines.end(), lines.begin(), lines.end());
        }
    }
    // A raw client: what it sends is the test's own bytes.
    void send(Transport &raw, const NetProtocol::Message &message) {
        const std::vector<std::uint8_t> bytes = NetProtocol::encode(message);
        raw.send(SimulatedNetwork::kServerPeer, Transport::Channel::kReliable, bytes.data(), bytes.size());
    }
    std::vector<NetProtocol::Message> heard(Transport &raw, bool *disconnected = nullptr) {
        std::vector<NetProtocol::Message> messages;
        Transport::Event event;
        while (raw.poll(now, event)) {
            if (event.kind == Transport::Event::kReceived) {
                if (auto m = NetProtocol::decode(event.data.data(), event.data.size()))
                    messages.push_back(*m);
            } else if (event.kind == Transport::Event::kDisconnected && disconnected != nullptr) {
                *disconnected = true;
            }
        }
        return messages;
    }

    // A raw client that has said hello and is ready: it holds a place.
    std::unique_ptr<Transport> joinRaw(NetHost &host) {
        std::unique_ptr<Transport> raw = net.client();
        run(20, host, {});
        send(*raw, NetProtocol::Hello{NetProtocol::kVersion, "b", "Raw"});
        send(*raw, NetProtocol::Ready{kHash});
        run(20, host, {});
        heard(*raw);
        return raw;
    }
    // Packets no reader takes (an unknown type), `count` of them at once.
    void sendJunk(Transport &raw, std::size_t count) {
        const std::uint8_t junk[] = {0xee, 1, 2};
        for (std::size_t i = 0; i < count; ++i)
            raw.send(SimulatedNetwork::kServerPeer, Transport::Channel::kUnreliable, junk, sizeof junk);
    }

    SimulatedNetwork net{SimulatedNetwork::Conditions{}, 7};
    std::uint32_t now = 0;
    std::vector<std::string> hostLines;
};

TEST_F(NetSessionTest, PlayersWithTheSameDataJoinAndTheBattleStartsWhenEveryPlaceIsTaken) {
    NetHost host(net.host(), offer(3));
    auto two = client(net);
    run(200, host, {two.get()});
    EXPECT_EQ(two->getPhase(), NetClient::Phase::kWaiting);
    EXPECT_EQ(two->getPlayer(), 1);
    EXPECT_EQ(two->getWelcome().levelFile, "lvl1.lvl");
    EXPECT_FALSE(host.everyoneIn());
    // Waiting for the third player is no silence: nobody gives up.
    run(8000, host, {two.get()});
    EXPECT_EQ(two->getPhase(), NetClient::Phase::kWaiting);
    auto three = client(net);
    run(200, host, {two.get(), three.get()});
    EXPECT_EQ(three->getPlayer(), 2);
    EXPECT_TRUE(host.everyoneIn());
    EXPECT_TRUE(said(hostLines, "Player two joined") && said(hostLines, "Player three joined"));
    host.start(0);
    run(100, host, {two.get(), three.get()});
    EXPECT_EQ(two->getPhase(), NetClient::Phase::kPlaying);
    EXPECT_EQ(three->getPhase(), NetClient::Phase::kPlaying);

    // A fourth is refused: the battle is full.
    auto four = client(net);
    run(200, host, {two.get(), three.get(), four.get()});
    EXPECT_EQ(four->getPhase(), NetClient::Phase::kRefused);
    EXPECT_NE(four->getProblem().find("the battle is full"), std::string::npos);
}

TEST_F(NetSessionTest, AnotherVersionOrOtherDataIsRefusedWithAMessageOnBothSides) {
    NetHost host(net.host(), offer(3));
    // A client of another protocol version.
    std::unique_ptr<Transport> raw = net.client();
    run(50, host, {});
    send(*raw, NetProtocol::Hello{99, "build-x", "Old"});
    run(100, host, {});
    bool gone = false;
    const std::vector<NetProtocol::Message> answer = heard(*raw, &gone);
    ASSERT_EQ(answer.size(), 1u);
    ASSERT_TRUE(std::holds_alternative<NetProtocol::Refused>(answer[0]));
    EXPECT_EQ(std::get<NetProtocol::Refused>(answer[0]).reason, NetProtocol::Refusal::kVersion);
    EXPECT_TRUE(gone);
    EXPECT_TRUE(said(hostLines, "protocol version 99"));

    // A client whose level differs, and one without the level.
    hostLines.clear();
    auto other = client(net, std::string("fedcba9876543210")), none = client(net, std::nullopt);
    run(200, host, {other.get(), none.get()});
    EXPECT_EQ(other->getPhase(), NetClient::Phase::kRefused);
    EXPECT_NE(other->getProblem().find("data differ from the host's"), std::string::npos) << other->getProblem();
    EXPECT_EQ(none->getPhase(), NetClient::Phase::kRefused);
    EXPECT_NE(none->getProblem().find("has no level data/level/lvl1.lvl"), std::string::npos) << none->getProblem();
    EXPECT_EQ(std::count_if(hostLines.begin(), hostLines.end(),
                            [](const std::string &l) { return l.find("its data differ from this game's") != std::string::npos; }),
              2);
    EXPECT_FALSE(host.everyoneIn());

    // The host of another version is refused by the client likewise.
    SimulatedNetwork second(SimulatedNetwork::Conditions{}, 8);
    std::unique_ptr<Transport> rawHost = second.host();
    auto joining = client(second);
    for (int i = 0; i < 10; ++i) {
        now += 10;
        joining->service(now);
        Transport::Event event;
        while (rawHost->poll(now, event))
            if (event.kind == Transport::Event::kReceived) {
                NetProtocol::Welcome welcome;
                welcome.version = NetProtocol::kVersion + 1;
                welcome.levelFile = "lvl1.lvl";
                welcome.dataHash = kHash;
                const std::vector<std::uint8_t> bytes = NetProtocol::encode(welcome);
                rawHost->send(event.peer, Transport::Channel::kReliable, bytes.data(), bytes.size());
            }
    }
    EXPECT_EQ(joining->getPhase(), NetClient::Phase::kRefused);
    EXPECT_NE(joining->getProblem().find("protocol version " + std::to_string(NetProtocol::kVersion + 1)),
              std::string::npos)
        << joining->getProblem();
}

TEST_F(NetSessionTest, ASilentClientIsLostItsTankStandsAndItMayComeBack) {
    NetHost host(net.host(), offer());
    auto two = client(net);
    run(200, host, {two.get()});
    host.start(0);
    run(100, host, {two.get()});
    const PlayerInput ahead{1.0f, 0.0f, false};
    ASSERT_TRUE(host.isConnected(1));
    two.reset(); // the machine vanishes without a word
    run(NetHost::kSilenceMs - 200, host, {});
    EXPECT_TRUE(host.isConnected(1)) << "not before twenty seconds";
    run(400, host, {});
    EXPECT_FALSE(host.isConnected(1));
    EXPECT_TRUE(said(hostLines, "Player two lost the connection"));
    TickInput controls;
    controls[1] = ahead;
    host.fillInputs(controls, 30);
    EXPECT_EQ(controls[1], PlayerInput{}) << "its tank stands";

    auto again = client(net);
    run(200, host, {again.get()});
    EXPECT_EQ(again->getPlayer(), 1);
    EXPECT_TRUE(again->getWelcome().started);
    EXPECT_EQ(again->getPhase(), NetClient::Phase::kPlaying);
    EXPECT_TRUE(said(hostLines, "Player two is back"));
}

TEST_F(NetSessionTest, APauseHoldsBothAndTheHostTakesOnlyTheClientsOwnSaneControls) {
    NetHost host(net.host(), offer());
    std::unique_ptr<Transport> raw = net.client();
    run(50, host, {});
    send(*raw, NetProtocol::Hello{NetProtocol::kVersion, "b", "Raw"});
    run(50, host, {});
    send(*raw, NetProtocol::Ready{kHash});
    run(50, host, {});
    ASSERT_TRUE(host.everyoneIn());
    host.start(100);
    // Controls for ticks 101 and 102, one far ahead of the battle, and a pause asked as player four:
    // the host hears the pause as the client's own player's.
    send(*raw, NetProtocol::Input{102, {{1.0f, 0.5f, true}, {-1.0f, 0.0f, false}}, 0});
    send(*raw, NetProtocol::Input{100 + 500, {{1.0f, 1.0f, true}}, 0});
    send(*raw, NetProtocol::Pause{true, 3});
    run(50, host, {});
    EXPECT_EQ(host.getRefusedPackets(), 1u);
    EXPECT_EQ(host.getPausedBy(), 1);
    EXPECT_TRUE(said(hostLines, "Paused by player two"));
    TickInput controls;
    host.fillInputs(controls, 101);
    EXPECT_EQ(controls[1].throttle, 1.0f);
    EXPECT_TRUE(controls[1].fire);
    host.fillInputs(controls, 102);
    EXPECT_EQ(controls[1].throttle, -1.0f);
    host.fillInputs(controls, 103);
    EXPECT_EQ(controls[1].throttle, -1.0f) << "the last controls hold";
    EXPECT_EQ(controls[0], PlayerInput{}) << "nothing for the host's own player";

    // Packets that do not decode are counted; a flood of them and the peer is cut off.
    bool cut = false;
    sendJunk(*raw, NetHost::kMaxRefusedPackets + 1);
    run(50, host, {});
    heard(*raw, &cut);
    EXPECT_TRUE(cut);
    EXPECT_FALSE(host.isConnected(1));
}

TEST_F(NetSessionTest, AHostPausedBeforeItsFirstStateStillKeepsItsClientsConnected) {
    NetHost host(net.host(), offer());
    auto two = client(net);
    run(200, host, {two.get()});
    host.start(0);
    host.setPause(true, 0); // before any tick: no state to send again
    run(NetClient::kSilenceMs + 1000, host, {two.get()});
    EXPECT_EQ(two->getPhase(), NetClient::Phase::kPlaying) << two->getProblem();
    EXPECT_EQ(two->getPausedBy(), 0);
    const std::vector<std::string> lines = two->takeMessages();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "Paused by player one"), 1) << "said once, not per keep-alive";
}

TEST_F(NetSessionTest, RefusedPacketsDrainWithTimeSoOnlyAFloodWithinTheWindowCutsAPeerOff) {
    NetHost host(net.host(), offer(3));
    std::unique_ptr<Transport> honest = joinRaw(host);
    ASSERT_TRUE(host.isConnected(1));
    host.start(100);
    // Runs `ms`, the client saying every 250 ms that it is still there, as a real one does.
    const auto talk = [&](std::uint32_t ms) {
        for (std::uint32_t done = 0; done < ms; done += 250) {
            send(*honest, NetProtocol::Input{100, {{0.0f, 0.0f, false}}, 0});
            run(250, host, {});
        }
    };

    // Inputs that ran ahead during a stall, three bursts of a hundred and fifty, each drained
    // before the next: more than kMaxRefusedPackets in all, never that many at once.
    for (int burst = 0; burst < 3; ++burst) {
        for (int i = 0; i < 150; ++i)
            send(*honest, NetProtocol::Input{100 + NetHost::kMaxInputAhead + 50, {{1.0f, 0.0f, false}}, 0});
        talk(150 * NetHost::kRefusedDrainMs);
    }
    EXPECT_EQ(host.getRefusedPackets(), 450u);
    EXPECT_TRUE(host.isConnected(1));

    // Twice as many, at the pace the pile drains: a steady trickle, still there.
    for (int i = 0; i < 20; ++i) {
        sendJunk(*honest, 250 / NetHost::kRefusedDrainMs);
        talk(250);
    }
    EXPECT_EQ(host.getRefusedPackets(), 550u);
    EXPECT_TRUE(host.isConnected(1));

    // A flood within the window from another: cut off, its place free again, the first stays.
    std::unique_ptr<Transport> flooder = joinRaw(host);
    ASSERT_TRUE(host.isConnected(2));
    bool cut = false;
    sendJunk(*flooder, NetHost::kMaxRefusedPackets + 1);
    run(50, host, {});
    heard(*flooder, &cut);
    EXPECT_TRUE(cut);
    EXPECT_FALSE(host.isConnected(2));
    EXPECT_TRUE(host.isConnected(1));
}

TEST_F(NetSessionTest, AHelloDoesNotWipeTheRefusedPacketsOfItsConnection) {
    NetHost host(net.host(), offer(3));
    std::unique_ptr<Transport> raw = net.client();
    run(50, host, {});
    // As a stranger, just under the limit; then it says hello and takes a place.
    sendJunk(*raw, NetHost::kMaxRefusedPackets);
    send(*raw, NetProtocol::Hello{NetProtocol::kVersion, "b", "Raw"});
    send(*raw, NetProtocol::Ready{kHash});
    run(20, host, {});
    ASSERT_TRUE(host.isConnected(1));
    // One more refused packet (a Hello again is not a placed client's to send) tips it over: the
    // first Hello started nothing afresh.
    bool cut = false;
    send(*raw, NetProtocol::Hello{NetProtocol::kVersion, "b", "Raw"});
    run(20, host, {});
    heard(*raw, &cut);
    EXPECT_TRUE(cut);
    EXPECT_FALSE(host.isConnected(1));
    EXPECT_EQ(host.getRefusedPackets(), NetHost::kMaxRefusedPackets + 1);
}

TEST_F(NetSessionTest, TheClientRefusesEventsFarAheadOfItsTickAndHoldsOnlySoMany) {
    SimulatedNetwork second(SimulatedNetwork::Conditions{}, 9);
    std::unique_ptr<Transport> rawHost = second.host();
    auto joining = client(second);
    Transport::PeerId peer = 0;
    const auto step = [&] {
        now += 10;
        joining->service(now);
        Transport::Event event;
        while (rawHost->poll(now, event))
            if (event.kind == Transport::Event::kConnected)
                peer = event.peer;
    };
    const auto tell = [&](const NetProtocol::Message &message) {
        const std::vector<std::uint8_t> bytes = NetProtocol::encode(message);
        rawHost->send(peer, Transport::Channel::kReliable, bytes.data(), bytes.size());
    };
    step();
    NetProtocol::Welcome welcome;
    welcome.levelFile = "lvl1.lvl";
    welcome.dataHash = kHash;
    tell(welcome);
    tell(NetProtocol::Start{1000});
    step();
    ASSERT_EQ(joining->getPhase(), NetClient::Phase::kPlaying);
    ASSERT_EQ(joining->getTick(), 1000);

    const NetProtocol::Event shot{1, {0, 0, 0}, -1};
    tell(NetProtocol::Events{1000 + NetClient::kMaxEventsAhead, {shot}});     // at the limit: held
    tell(NetProtocol::Events{1000 + NetClient::kMaxEventsAhead + 1, {shot}}); // past it: refused
    tell(NetProtocol::Events{0xffffffffu, {shot}});
    step();
    EXPECT_EQ(joining->getRefusedPackets(), 2u);
    EXPECT_EQ(joining->getFollower().getPendingEvents(), 1u);

    // Events within the limit but more than the queue holds: the rest is refused, nothing grows.
    for (std::size_t i = 0; i < WorldFollower::kMaxPendingEvents + 10; ++i)
        tell(NetProtocol::Events{1001, {shot}});
    step();
    EXPECT_EQ(joining->getFollower().getPendingEvents(), WorldFollower::kMaxPendingEvents);
    EXPECT_EQ(joining->getRefusedPackets(), 2u + 11u);
    EXPECT_EQ(joining->getPhase(), NetClient::Phase::kPlaying);
}

TEST_F(NetSessionTest, AHelloWithItsTokenGetsItsOwnPlaceBackWhereAnotherGetsTheFirstFree) {
    NetHost host(net.host(), offer(3));
    // Says hello (with `token`) and returns the Welcome, if one came.
    const auto hello = [&](Transport &raw, std::uint64_t token) -> std::optional<NetProtocol::Welcome> {
        run(20, host, {});
        send(raw, NetProtocol::Hello{NetProtocol::kVersion, "b", "Raw", token});
        run(20, host, {});
        for (const NetProtocol::Message &m : heard(raw))
            if (const auto *welcome = std::get_if<NetProtocol::Welcome>(&m))
                return *welcome;
        return std::nullopt;
    };
    std::unique_ptr<Transport> two = net.client(), three = net.client();
    const auto first = hello(*two, 0), second = hello(*three, 0);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second->yourPlayer, 2);
    EXPECT_NE(first->rejoinToken, 0u);
    EXPECT_NE(first->rejoinToken, second->rejoinToken);
    send(*two, NetProtocol::Ready{kHash});
    send(*three, NetProtocol::Ready{kHash});
    run(20, host, {});
    host.start(0);
    two.reset(); // both machines vanish
    three.reset();
    run(NetHost::kSilenceMs + 500, host, {});
    ASSERT_FALSE(host.isConnected(1) || host.isConnected(2));

    // Player three is back first: its own place, not the first lost one.
    std::unique_ptr<Transport> back = net.client();
    const auto again = hello(*back, second->rejoinToken);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->yourPlayer, 2);
    EXPECT_TRUE(again->started);
    EXPECT_EQ(again->rejoinToken, second->rejoinToken);
    // Someone without a token (or with a made-up one) takes the place left ...
    std::unique_ptr<Transport> stranger = net.client();
    const auto taken = hello(*stranger, 12345);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->yourPlayer, 1);
    // ... which its player's token still wins back.
    std::unique_ptr<Transport> owner = net.client();
    const auto own = hello(*owner, first->rejoinToken);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->yourPlayer, 1);
    bool cut = false;
    heard(*stranger, &cut);
    EXPECT_TRUE(cut);
}

} // namespace
