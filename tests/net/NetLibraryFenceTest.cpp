#include "support/LibraryFence.h"

namespace {

// ENet is the network library's business alone: outside src/net no file includes it, and inside
// only EnetTransport.cpp does, so the game sees the network through Transport only and a test can
// put the simulated network in its place.
TEST(NetLibraryFenceTest, OnlyEnetTransportIncludesEnet) {
    expectIncludedOnlyWhereAllowed(std::regex(R"(^\s*#\s*include\s*[<"]enet/)"), [](const std::filesystem::path &file) {
        return file == std::filesystem::path("net") / "EnetTransport.cpp";
    });
}

} // namespace
