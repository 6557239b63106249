#include "net/SimulatedNetwork.h"

#include <algorithm>
#include <map>
#include <random>
#include <utility>
#include <vector>

struct SimulatedNetwork::Core {
    // Something on its way to an endpoint.
    struct Item {
        enum What { kConnected, kDisconnected, kPacket };
        std::size_t link = 0; // which client's connection
        What what = kPacket;
        Transport::Channel channel = Transport::Channel::kReliable;
        std::uint32_t sequence = 0; // unreliable packets: number in the sender's order, from 1
        std::vector<std::uint8_t> data;
    };
    // By arrival time in ms, then by the order things were sent, so equal times keep their order.
    using Queue = std::multimap<std::pair<std::uint32_t, std::uint64_t>, Item>;

    // One end of a connection.
    struct Side {
        bool alive = true;                     // its endpoint exists
        bool open = true;                      // it has neither disconnected nor heard kDisconnected
        std::uint32_t lastReliableArrival = 0; // ms when the latest reliable thing towards it arrives
        std::uint32_t sentSequence = 0;        // its last unreliable packet's number
        std::uint32_t newestDelivered = 0;     // number of the newest unreliable packet it was given
    };

    struct Link {
        Side atHost, atClient;
        bool cut = false; // nothing gets through
        Queue toClient;   // what the client will receive
    };

    Conditions conditions;
    bool outage = false; // every connection is cut, new ones too
    std::mt19937 random;
    std::uint32_t nowMs = 0;     // latest time any endpoint polled with
    std::uint64_t sentCount = 0; // orders things sent at the same time
    bool hostGiven = false;
    bool hostAlive = false;
    Queue toHost;            // what the host will receive
    std::vector<Link> links; // by the host's peer number - 1
    std::size_t bytesToHost = 0, bytesFromHost = 0, packetsToHost = 0, packetsFromHost = 0, duplicated = 0;

    Core(const Conditions &conditions, std::uint32_t seed) : conditions(conditions), random(seed) {}

    bool cutOff(const Link &link) const { return link.cut || outage; }

    // Evenly in [0, 1), built from the generator's raw numbers, which every library gives alike
    // (unlike std::uniform_real_distribution).
    double uniform() {
        const std::uint32_t high = random() >> 5, low = random() >> 6;
        return (high * 67108864.0 + low) / 9007199254740992.0;
    }

    // Evenly from 0 to `most`.
    std::uint32_t upTo(std::uint32_t most) {
        return static_cast<std::uint32_t>(std::min<double>(most, uniform() * (most + 1.0)));
    }

    Queue &queueTowards(std::size_t link, bool host) { return host ? toHost : links[link].toClient; }

    void schedule(std::size_t link, bool towardsHost, std::uint32_t arrival, Item item) {
        item.link = link;
        queueTowards(link, towardsHost).emplace(std::make_pair(arrival, sentCount++), std::move(item));
    }

    // A reliable thing towards one side: not before the one sent ahead of it.
    std::uint32_t reliableArrival(Side &to, std::uint32_t delay) {
        to.lastReliableArrival = std::max(nowMs + delay, to.lastReliableArrival);
        return to.lastReliableArrival;
    }

    void send(bool fromHost, std::size_t link, Transport::Channel channel, const std::uint8_t *data,
              std::size_t size) {
        Link &connection = links[link];
        Side &from = fromHost ? connection.atHost : connection.atClient;
        Side &to = fromHost ? connection.atClient : connection.atHost;
        if (!from.open)
            return;
        (fromHost ? bytesFromHost : bytesToHost) += size;
        ++(fromHost ? packetsFromHost : packetsToHost);
        Item item;
        item.channel = channel;
        item.data.assign(data, data + size);
        if (channel == Transport::Channel::kReliable) {
            const std::uint32_t arrival =
                reliableArrival(to, conditions.latencyMs + upTo(conditions.jitterMs));
            if (to.alive)
                schedule(link, !fromHost, arrival, std::move(item));
            return;
        }
        // Every draw is made whatever comes of it, so one packet's fate never shifts the next one's.
        item.sequence = ++from.sentSequence;
        const bool lost = uniform() < conditions.loss;
        const int copies = uniform() < conditions.duplicate ? 2 : 1;
        for (int copy = 0; copy < copies; ++copy) {
            std::uint32_t delay = conditions.latencyMs + upTo(conditions.jitterMs);
            if (uniform() < conditions.reorder)
                delay += 1 + upTo(conditions.latencyMs);
            if (lost || cutOff(connection) || !to.alive)
                continue;
            duplicated += copy;
            schedule(link, !fromHost, nowMs + delay, item);
        }
    }

    void disconnect(bool fromHost, std::size_t link) {
        Link &connection = links[link];
        Side &from = fromHost ? connection.atHost : connection.atClient;
        Side &to = fromHost ? connection.atClient : connection.atHost;
        if (!from.open)
            return;
        from.open = false;
        forget(link, fromHost);
        Item item;
        item.what = Item::kDisconnected;
        const std::uint32_t arrival = reliableArrival(to, conditions.latencyMs);
        if (to.alive)
            schedule(link, !fromHost, arrival, std::move(item));
    }

    // Drops what is on its way to the host side (or the client side) of `link`.
    void forget(std::size_t link, bool host) {
        Queue &queue = queueTowards(link, host);
        for (auto it = queue.begin(); it != queue.end();)
            it = it->second.link == link ? queue.erase(it) : std::next(it);
    }

    bool poll(bool host, std::size_t link, std::uint32_t now, Transport::Event &event) {
        nowMs = std::max(nowMs, now);
        Queue &queue = queueTowards(link, host);
        for (auto it = queue.begin(); it != queue.end() && it->first.first <= now;) {
            Item &item = it->second;
            Link &connection = links[item.link];
            Side &me = host ? connection.atHost : connection.atClient;
            const bool unreliable =
                item.what == Item::kPacket && item.channel == Transport::Channel::kUnreliable;
            if (cutOff(connection) && !unreliable) {
                ++it; // waits for the cut to end
                continue;
            }
            if (!me.open || cutOff(connection) || (unreliable && item.sequence <= me.newestDelivered)) {
                it = queue.erase(it);
                continue;
            }
            if (unreliable)
                me.newestDelivered = item.sequence;
            event = Transport::Event();
            event.peer = host ? static_cast<Transport::PeerId>(item.link + 1) : kServerPeer;
            event.channel = item.channel;
            if (item.what == Item::kConnected) {
                event.kind = Transport::Event::kConnected;
            } else if (item.what == Item::kDisconnected) {
                event.kind = Transport::Event::kDisconnected;
                me.open = false;
            } else {
                event.kind = Transport::Event::kReceived;
                event.data = std::move(item.data);
            }
            queue.erase(it);
            return true;
        }
        return false;
    }
};

// The host or one client of a SimulatedNetwork.
class SimulatedNetwork::Endpoint : public Transport {
  public:
    Endpoint(std::shared_ptr<Core> core, bool host, std::size_t link)
        : core(std::move(core)), host(host), link(link) {}

    ~Endpoint() override {
        // A machine that vanished: nothing more goes in or out, and nobody is told.
        if (host) {
            core->hostAlive = false;
            core->toHost.clear();
            for (std::size_t i = 0; i < core->links.size(); ++i) {
                core->links[i].atHost.alive = false;
                core->forget(i, false);
            }
        } else {
            core->links[link].atClient.alive = false;
            core->links[link].toClient.clear();
            core->forget(link, true);
        }
    }

    void send(PeerId peer, Channel channel, const std::uint8_t *data, std::size_t size) override {
        std::size_t target = 0;
        if (size <= kMaxPacketBytes && find(peer, target))
            core->send(host, target, channel, data, size);
    }

    bool poll(std::uint32_t nowMs, Event &event) override { return core->poll(host, link, nowMs, event); }

    void flush() override {}

    void disconnect(PeerId peer) override {
        std::size_t target = 0;
        if (find(peer, target))
            core->disconnect(host, target);
    }

    std::size_t droppedFrom(PeerId) const override { return 0; }

    bool isClientOf(const Core &network, std::size_t &which) const {
        which = link;
        return !host && core.get() == &network;
    }

  private:
    bool find(PeerId peer, std::size_t &target) const {
        if (!host) {
            target = link;
            return peer == kServerPeer;
        }
        target = peer - 1;
        return peer >= 1 && peer <= core->links.size();
    }

    std::shared_ptr<Core> core;
    bool host;        // the host, else a client
    std::size_t link; // a client's connection
};

SimulatedNetwork::SimulatedNetwork(const Conditions &conditions, std::uint32_t seed)
    : core(std::make_shared<Core>(conditions, seed)) {}

SimulatedNetwork::~SimulatedNetwork() = default;

std::unique_ptr<Transport> SimulatedNetwork::host() {
    if (core->hostGiven)
        return nullptr;
    core->hostGiven = core->hostAlive = true;
    return std::make_unique<Endpoint>(core, true, 0);
}

std::unique_ptr<Transport> SimulatedNetwork::client() {
    const std::size_t link = core->links.size();
    core->links.emplace_back();
    Core::Link &connection = core->links.back();
    connection.atHost.alive = core->hostAlive;
    Core::Item hello;
    hello.what = Core::Item::kConnected;
    if (connection.atHost.alive) { // else nobody answers, and the client hears nothing
        core->schedule(link, false, core->reliableArrival(connection.atClient, core->conditions.latencyMs),
                       hello);
        core->schedule(link, true, core->reliableArrival(connection.atHost, core->conditions.latencyMs),
                       hello);
    }
    return std::make_unique<Endpoint>(core, false, link);
}

void SimulatedNetwork::cut(const Transport &client, bool cut) {
    const auto *endpoint = dynamic_cast<const Endpoint *>(&client);
    std::size_t link = 0;
    if (endpoint && endpoint->isClientOf(*core, link))
        core->links[link].cut = cut;
}

void SimulatedNetwork::setOutage(bool out) {
    core->outage = out;
}

void SimulatedNetwork::setConditions(const Conditions &conditions) {
    core->conditions = conditions;
}

std::size_t SimulatedNetwork::bytesToHost() const {
    return core->bytesToHost;
}

std::size_t SimulatedNetwork::bytesFromHost() const {
    return core->bytesFromHost;
}

std::size_t SimulatedNetwork::packetsToHost() const {
    return core->packetsToHost;
}

std::size_t SimulatedNetwork::packetsFromHost() const {
    return core->packetsFromHost;
}

std::size_t SimulatedNetwork::duplicated() const {
    return core->duplicated;
}
