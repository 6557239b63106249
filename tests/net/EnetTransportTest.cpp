// The real transport over 127.0.0.1: hosts on ports the system picks, so tests may run side by side.
#include "net/EnetTransport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace {

using Event = Transport::Event;
using Clock = std::chrono::steady_clock;

// A transport and all it has said so far.
struct Side {
    EnetTransport *transport;
    std::vector<Event> events;

    const Event *find(Event::Kind kind, std::size_t from = 0) const {
        for (std::size_t i = from; i < events.size(); ++i)
            if (events[i].kind == kind)
                return &events[i];
        return nullptr;
    }
};

// Polls every side until `done` holds; false when it has not after five seconds.
bool pumpUntil(std::vector<Side *> sides, const std::function<bool()> &done) {
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        for (Side *side : sides) {
            Event event;
            while (side->transport->poll(0, event))
                side->events.push_back(std::move(event));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1)); // a poll interval, not a wait for a state
    }
    return true;
}

std::unique_ptr<EnetTransport> listenAnywhere() {
    std::string problem;
    std::unique_ptr<EnetTransport> host = EnetTransport::listen(0, 4, problem);
    EXPECT_TRUE(host) << problem;
    EXPECT_TRUE(!host || host->port() != 0);
    return host;
}

std::unique_ptr<EnetTransport> joinLocal(const EnetTransport &host) {
    return EnetTransport::connect("127.0.0.1:" + std::to_string(host.port()), 1);
}

void sendBytes(EnetTransport &transport, Transport::PeerId peer, Transport::Channel channel,
               const std::vector<std::uint8_t> &data) {
    transport.send(peer, channel, data.data(), data.size());
    transport.flush();
}

TEST(EnetTransportTest, ConnectsCarriesPacketsAndDisconnects) {
    std::unique_ptr<EnetTransport> hostTransport = listenAnywhere();
    ASSERT_TRUE(hostTransport);
    std::string problem;
    EXPECT_FALSE(EnetTransport::listen(hostTransport->port(), 4, problem));
    EXPECT_EQ(problem, "port " + std::to_string(hostTransport->port()) + " is in use");

    std::unique_ptr<EnetTransport> clientTransport = joinLocal(*hostTransport);
    Side host{hostTransport.get(), {}}, client{clientTransport.get(), {}};
    ASSERT_TRUE(pumpUntil({&host, &client},
                          [&] { return host.find(Event::kConnected) && client.find(Event::kConnected); }));
    const Transport::PeerId joined = host.find(Event::kConnected)->peer;
    EXPECT_EQ(client.find(Event::kConnected)->peer, EnetTransport::kServerPeer);

    std::vector<std::uint8_t> big(Transport::kMaxPacketBytes);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 7);
    sendBytes(*clientTransport, EnetTransport::kServerPeer, Transport::Channel::kReliable, big);
    sendBytes(*hostTransport, joined, Transport::Channel::kReliable, {1, 2, 3});
    sendBytes(*clientTransport, EnetTransport::kServerPeer, Transport::Channel::kUnreliable, {9});
    // One byte too many is not sent at all: the next packet is the one to arrive.
    std::vector<std::uint8_t> tooBig(Transport::kMaxPacketBytes + 1);
    sendBytes(*clientTransport, EnetTransport::kServerPeer, Transport::Channel::kReliable, tooBig);
    sendBytes(*clientTransport, EnetTransport::kServerPeer, Transport::Channel::kReliable, {4});
    ASSERT_TRUE(pumpUntil({&host, &client},
                          [&] { return host.events.size() >= 4 && client.find(Event::kReceived); }));
    std::vector<std::vector<std::uint8_t>> reliable, unreliable;
    for (const Event &event : host.events) {
        if (event.kind != Event::kReceived)
            continue;
        EXPECT_EQ(event.peer, joined);
        (event.channel == Transport::Channel::kReliable ? reliable : unreliable).push_back(event.data);
    }
    EXPECT_EQ(reliable, (std::vector<std::vector<std::uint8_t>>{big, {4}}));
    EXPECT_EQ(unreliable, (std::vector<std::vector<std::uint8_t>>{{9}}));
    EXPECT_EQ(client.find(Event::kReceived)->data, (std::vector<std::uint8_t>{1, 2, 3}));

    clientTransport->disconnect(EnetTransport::kServerPeer);
    ASSERT_TRUE(pumpUntil({&host, &client}, [&] { return host.find(Event::kDisconnected); }));
    EXPECT_EQ(host.find(Event::kDisconnected)->peer, joined);
    EXPECT_FALSE(client.find(Event::kDisconnected)); // the side that ends it hears nothing more
}

TEST(EnetTransportTest, FloodingClientIsCutOffAndTheHostGoesOn) {
    std::unique_ptr<EnetTransport> hostTransport = listenAnywhere();
    ASSERT_TRUE(hostTransport);
    std::unique_ptr<EnetTransport> flooderTransport = joinLocal(*hostTransport);
    Side host{hostTransport.get(), {}}, flooder{flooderTransport.get(), {}};
    ASSERT_TRUE(pumpUntil({&host, &flooder},
                          [&] { return host.find(Event::kConnected) && flooder.find(Event::kConnected); }));
    const Transport::PeerId flooderId = host.find(Event::kConnected)->peer;

    const std::vector<std::uint8_t> junk(100, 0xAB);
    for (std::size_t i = 0; i < 2 * EnetTransport::kFloodPackets; ++i)
        flooderTransport->send(EnetTransport::kServerPeer, Transport::Channel::kReliable, junk.data(),
                               junk.size());
    flooderTransport->flush();
    ASSERT_TRUE(pumpUntil({&host, &flooder}, [&] {
        return host.find(Event::kDisconnected) && flooder.find(Event::kDisconnected);
    }));
    EXPECT_EQ(host.find(Event::kDisconnected)->peer, flooderId);
    EXPECT_EQ(hostTransport->knownPeers(), 0u); // cut off and forgotten
    std::size_t heard = 0;
    for (const Event &event : host.events)
        heard += event.kind == Event::kReceived;
    EXPECT_EQ(heard, EnetTransport::kFloodPackets);

    std::unique_ptr<EnetTransport> otherTransport = joinLocal(*hostTransport);
    Side other{otherTransport.get(), {}};
    const std::size_t before = host.events.size();
    ASSERT_TRUE(pumpUntil({&host, &other}, [&] { return other.find(Event::kConnected); }));
    sendBytes(*otherTransport, EnetTransport::kServerPeer, Transport::Channel::kReliable, {5});
    ASSERT_TRUE(pumpUntil({&host, &other}, [&] { return host.find(Event::kReceived, before); }));
    const Transport::PeerId otherId = host.find(Event::kReceived, before)->peer;
    EXPECT_NE(otherId, flooderId); // numbers are never reused

    hostTransport->disconnect(otherId);
    ASSERT_TRUE(pumpUntil({&host, &other}, [&] { return other.find(Event::kDisconnected); }));
    const std::string hostAddress = "127.0.0.1:" + std::to_string(hostTransport->port());
    EXPECT_EQ(otherTransport->failure(), hostAddress + " ended the connection");
    EXPECT_EQ(flooderTransport->failure(), hostAddress + " cut the connection: too much sent");
}

TEST(EnetTransportTest, GoneConnectionsAreForgottenHoweverTheyEnded) {
    std::unique_ptr<EnetTransport> hostTransport = listenAnywhere();
    ASSERT_TRUE(hostTransport);
    Side host{hostTransport.get(), {}};
    const auto count = [&](Event::Kind kind, std::size_t from) {
        return static_cast<std::size_t>(std::count_if(host.events.begin() + static_cast<std::ptrdiff_t>(from),
                                                      host.events.end(),
                                                      [kind](const Event &e) { return e.kind == kind; }));
    };
    // Ten rounds of three clients: one says goodbye, the host lets one go, one vanishes.
    for (int round = 0; round < 10; ++round) {
        const std::size_t from = host.events.size();
        std::unique_ptr<EnetTransport> leaving = joinLocal(*hostTransport);
        std::unique_ptr<EnetTransport> letGo = joinLocal(*hostTransport);
        std::unique_ptr<EnetTransport> vanishing = joinLocal(*hostTransport);
        Side leavingSide{leaving.get(), {}}, letGoSide{letGo.get(), {}}, vanishingSide{vanishing.get(), {}};
        ASSERT_TRUE(pumpUntil({&host, &leavingSide, &letGoSide, &vanishingSide}, [&] {
            return count(Event::kConnected, from) == 3 && letGoSide.find(Event::kConnected);
        })) << "round " << round;
        EXPECT_EQ(hostTransport->knownPeers(), 3u);
        EXPECT_EQ(leaving->knownPeers(), 1u);
        // Which of the host's peers is `letGo`: the one that sends a byte.
        const std::size_t before = host.events.size();
        sendBytes(*letGo, EnetTransport::kServerPeer, Transport::Channel::kReliable, {7});
        ASSERT_TRUE(pumpUntil({&host, &letGoSide}, [&] { return host.find(Event::kReceived, before); }));
        const Transport::PeerId letGoId = host.find(Event::kReceived, before)->peer;

        leaving->disconnect(EnetTransport::kServerPeer);
        leaving->flush();
        EXPECT_EQ(leaving->knownPeers(), 0u);
        hostTransport->disconnect(letGoId);
        hostTransport->flush();
        vanishing.reset(); // its transport's end tells the host at once
        // The host hears two of them go; of the one it let go it hears nothing more, that one hears it.
        ASSERT_TRUE(pumpUntil({&host, &leavingSide, &letGoSide}, [&] {
            return count(Event::kDisconnected, from) == 2 && letGoSide.find(Event::kDisconnected);
        })) << "round " << round;
        EXPECT_EQ(hostTransport->knownPeers(), 0u) << "round " << round;
        EXPECT_EQ(letGo->knownPeers(), 0u);
        EXPECT_EQ(hostTransport->droppedFrom(letGoId), 0u); // a gone peer is nobody's business
    }
}

TEST(EnetTransportTest, BadOrUnknownAddressesFailWithoutBlockingTheCaller) {
    std::string name;
    std::uint16_t port = 0;
    EXPECT_TRUE(EnetTransport::parseAddress("tank-3.lan", 24731, name, port));
    EXPECT_EQ(name + ":" + std::to_string(port), "tank-3.lan:24731");
    EXPECT_TRUE(EnetTransport::parseAddress("10.0.0.2:65535", 1, name, port));
    EXPECT_EQ(name + ":" + std::to_string(port), "10.0.0.2:65535");
    for (const char *bad : {"", ":80", "x:", "x:0", "x:65536", "x:99999", "x:8a", "x: 80", "a b", "x:1:2"})
        EXPECT_FALSE(EnetTransport::parseAddress(bad, 1, name, port)) << bad;

    for (const std::string address : {"x:99999", "", "nosuch.invalid"}) {
        const Clock::time_point start = Clock::now();
        std::unique_ptr<EnetTransport> transport = EnetTransport::connect(address, 24731);
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500)) << address;
        Side client{transport.get(), {}};
        ASSERT_TRUE(pumpUntil({&client}, [&] { return client.find(Event::kDisconnected); })) << address;
        const std::string expected = address == "nosuch.invalid" ? "cannot find host 'nosuch.invalid'"
                                                                 : "bad address '" + address + "'";
        EXPECT_EQ(transport->failure(), expected);
    }
    // Given up while the name may still be looked up: the look-up's thread must not outlive what it writes
    // to.
    EnetTransport::connect("nosuch.invalid", 24731).reset();

    for (const std::string &address : EnetTransport::localAddresses()) {
        in_addr parsed{};
        EXPECT_EQ(inet_pton(AF_INET, address.c_str(), &parsed), 1) << address;
        EXPECT_NE(address.rfind("127.", 0), 0u) << address;
    }
}

} // namespace
