#pragma once

#include "net/Transport.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// A network inside one process, for tests: one host and any number of clients whose packets take
// a latency, may be lost, duplicated or overtaken, all decided by a seed so a run can be repeated.
// Time is the nowMs the endpoints poll with; the network's clock, by which a sent packet leaves, is
// the latest nowMs any endpoint has polled with. A link never times out: noticing silence is the
// caller's business, as it is over ENet.
class SimulatedNetwork {
  public:
    struct Conditions {
        std::uint32_t latencyMs = 0; // one way; a 150 ms round trip is 75
        std::uint32_t jitterMs = 0;  // extra delay of each packet, evenly spread from 0 to this
        double loss = 0.0;           // chance that an unreliable packet vanishes
        double duplicate = 0.0;      // chance that an unreliable packet arrives twice
        double reorder = 0.0; // chance that an unreliable packet is held back by up to one latency more
    };

    SimulatedNetwork(const Conditions &conditions, std::uint32_t seed);
    ~SimulatedNetwork();
    SimulatedNetwork(const SimulatedNetwork &) = delete;
    SimulatedNetwork &operator=(const SimulatedNetwork &) = delete;

    // The host endpoint; only once per network (null after that). It hears each client as a peer.
    std::unique_ptr<Transport> host();
    // A new client; both it and the host hear kConnected one latency later. The client sees the host
    // as peer kServerPeer. Destroying a client is a machine that vanished: the host hears nothing
    // more of it, not even kDisconnected.
    std::unique_ptr<Transport> client();

    // While cut, nothing gets through between `client` (an endpoint of this network) and the host:
    // unreliable packets vanish, reliable ones and connection news wait until the cut ends.
    void cut(const Transport &client, bool cut);
    // The same for every connection, those made meanwhile too: the whole network is out.
    void setOutage(bool out);
    // New conditions for the packets sent from now on.
    void setConditions(const Conditions &conditions);

    std::size_t bytesToHost() const;     // payload bytes clients have sent, lost ones included
    std::size_t bytesFromHost() const;   // payload bytes the host has sent, lost ones included
    std::size_t packetsToHost() const;   // packets clients have sent
    std::size_t packetsFromHost() const; // packets the host has sent
    std::size_t duplicated() const;      // extra copies the network has made of unreliable packets

    static constexpr Transport::PeerId kServerPeer = 1; // the host as a client sees it

  private:
    struct Core;
    class Endpoint;

    std::shared_ptr<Core> core; // shared with the endpoints, which may outlive this
};
