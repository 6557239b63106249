#include "net/SimulatedNetwork.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Event = Transport::Event;
using Channel = Transport::Channel;
constexpr Transport::PeerId kHost = SimulatedNetwork::kServerPeer;

struct Arrival {
    std::uint32_t atMs;   // when it was polled
    std::uint32_t number; // the sender's count, carried in the packet
    bool operator==(const Arrival &other) const { return atMs == other.atMs && number == other.number; }
};

void sendNumber(Transport &from, Transport::PeerId to, Channel channel, std::uint32_t number) {
    std::uint8_t bytes[4];
    std::memcpy(bytes, &number, sizeof number);
    from.send(to, channel, bytes, sizeof bytes);
}

// A client sends `count` numbered packets on `channel`, one every 5 ms, and the host polls at the
// same steps; returns what the host received, in order, and when.
std::vector<Arrival> stream(SimulatedNetwork &net, Channel channel, std::uint32_t count) {
    std::unique_ptr<Transport> host = net.host(), client = net.client();
    std::vector<Arrival> arrivals;
    Event event;
    for (std::uint32_t step = 0; step < count + 200; ++step) {
        const std::uint32_t now = step * 5;
        while (client->poll(now, event)) {
        }
        if (step < count)
            sendNumber(*client, kHost, channel, step);
        while (host->poll(now, event)) {
            if (event.kind != Event::kReceived)
                continue;
            EXPECT_EQ(event.channel, channel);
            std::uint32_t number = 0;
            std::memcpy(&number, event.data.data(), sizeof number);
            arrivals.push_back({now, number});
        }
    }
    return arrivals;
}

TEST(SimulatedNetworkTest, UnreliablePacketsAreLostDuplicatedAndSequenced) {
    SimulatedNetwork::Conditions lossy;
    lossy.latencyMs = 75;
    lossy.loss = 0.1;
    SimulatedNetwork plain(lossy, 1);
    const std::vector<Arrival> some = stream(plain, Channel::kUnreliable, 2000);
    EXPECT_GT(some.size(), 1740u);
    EXPECT_LT(some.size(), 1860u);
    EXPECT_EQ(plain.packetsToHost(), 2000u);
    EXPECT_EQ(plain.bytesToHost(), 8000u);

    lossy.jitterMs = 30;
    lossy.duplicate = 0.2;
    lossy.reorder = 0.2;
    SimulatedNetwork rough(lossy, 2);
    const std::vector<Arrival> arrivals = stream(rough, Channel::kUnreliable, 2000);
    EXPECT_GT(rough.duplicated(), 200u);
    ASSERT_GT(arrivals.size(), 500u); // many overtaken by a newer one, so dropped
    for (std::size_t i = 0; i < arrivals.size(); ++i) {
        EXPECT_GE(arrivals[i].atMs, arrivals[i].number * 5 + 75) << "before the latency";
        EXPECT_TRUE(i == 0 || arrivals[i].number > arrivals[i - 1].number)
            << "twice or older than one delivered";
    }

    // The same seed decides the same; another seed differently.
    SimulatedNetwork again(lossy, 2), other(lossy, 3);
    EXPECT_EQ(stream(again, Channel::kUnreliable, 2000), arrivals);
    EXPECT_NE(stream(other, Channel::kUnreliable, 2000), arrivals);
}

TEST(SimulatedNetworkTest, ReliablePacketsAllArriveInOrder) {
    SimulatedNetwork net({75, 40, 0.5, 0.5, 0.5}, 4);
    const std::vector<Arrival> arrivals = stream(net, Channel::kReliable, 500);
    ASSERT_EQ(arrivals.size(), 500u);
    for (std::uint32_t i = 0; i < arrivals.size(); ++i) {
        EXPECT_EQ(arrivals[i].number, i);
        EXPECT_GE(arrivals[i].atMs, i * 5 + 75);
    }
}

TEST(SimulatedNetworkTest, ConnectionsComeGoAndVanish) {
    SimulatedNetwork net({50, 0, 0.0, 0.0, 0.0}, 5);
    std::unique_ptr<Transport> host = net.host();
    EXPECT_FALSE(net.host());
    std::unique_ptr<Transport> first = net.client(), second = net.client();
    Event event;
    EXPECT_FALSE(host->poll(49, event));
    ASSERT_TRUE(host->poll(50, event));
    EXPECT_EQ(event.kind, Event::kConnected);
    const Transport::PeerId firstId = event.peer;
    ASSERT_TRUE(host->poll(50, event));
    const Transport::PeerId secondId = event.peer;
    EXPECT_NE(firstId, secondId);
    ASSERT_TRUE(first->poll(50, event));
    EXPECT_EQ(event.kind, Event::kConnected);
    EXPECT_EQ(event.peer, kHost);
    ASSERT_TRUE(second->poll(50, event));

    // Cut off: unreliable packets vanish, reliable ones wait for the line to come back.
    net.cut(*first, true);
    sendNumber(*first, kHost, Channel::kUnreliable, 1);
    sendNumber(*first, kHost, Channel::kReliable, 2);
    EXPECT_FALSE(host->poll(500, event));
    net.cut(*first, false);
    ASSERT_TRUE(host->poll(500, event));
    EXPECT_EQ(event.channel, Channel::kReliable);
    EXPECT_FALSE(host->poll(500, event));

    // The host lets the first go: it hears so a latency later, and what the host sends it after that is lost.
    host->disconnect(firstId);
    sendNumber(*host, firstId, Channel::kReliable, 3);
    EXPECT_FALSE(first->poll(549, event));
    ASSERT_TRUE(first->poll(550, event));
    EXPECT_EQ(event.kind, Event::kDisconnected);
    EXPECT_FALSE(first->poll(10000, event));

    // A client whose machine vanishes takes what it sent with it, and the host is never told.
    sendNumber(*second, kHost, Channel::kReliable, 4);
    second.reset();
    EXPECT_FALSE(host->poll(100000, event));
}

} // namespace
