#include "particles/ParticleEngine.h"
#include "particles/CPeExplosion.h"
#include "particles/ParticleEngineHelp.h"
#include "particles/ScriptedRandom.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <memory>
#include <vector>

namespace {

// A particle with a depth key and a tag (kept in its life) to follow it through a sort.
CParticle keyed(float key, float tag) {
    CParticle p;
    p.setPosWC(0.0f, 0.0f, key);
    p.setLife(tag);
    return p;
}

std::vector<float> keys(const ParticleEngine &e) {
    std::vector<float> out;
    for (const CParticle &p : e.getParticles()) {
        out.push_back(p.getPosWC()[2]);
    }
    return out;
}

std::vector<float> sizes(const ParticleEngine &e) {
    std::vector<float> out;
    for (const CParticle &p : e.getParticles()) {
        out.push_back(p.getHalfSquareLength());
    }
    return out;
}

std::vector<float> tags(const ParticleEngine &e) {
    std::vector<float> out;
    for (const CParticle &p : e.getParticles()) {
        out.push_back(p.getLife());
    }
    return out;
}

TEST(ParticleEngineSort, EmptyAndSingleListsStayAsTheyAre) {
    ParticleEngine empty;
    empty.sort();
    EXPECT_TRUE(empty.getParticles().empty());

    ParticleEngine single;
    single.addParticle(keyed(4.0f, 1.0f));
    single.sort();
    EXPECT_EQ(keys(single), (std::vector<float>{4.0f}));
}

TEST(ParticleEngineSort, OrdersAscendingAndKeepsEqualKeysInTheirOrder) {
    ParticleEngine e;
    for (float k : {3.0f, 1.0f, 2.0f}) {
        e.addParticle(keyed(k, k));
    }
    e.sort();
    EXPECT_EQ(keys(e), (std::vector<float>{1.0f, 2.0f, 3.0f}));

    // Stability: equal keys keep the order in which they were added.
    ParticleEngine s;
    const float input[][2] = {{2, 0}, {1, 1}, {2, 2}, {0, 3}, {1, 4}, {2, 5}, {-1, 6}, {1, 7}};
    for (const auto &kt : input) {
        s.addParticle(keyed(kt[0], kt[1]));
    }
    s.sort();
    EXPECT_EQ(keys(s), (std::vector<float>{-1, 0, 1, 1, 1, 2, 2, 2}));
    EXPECT_EQ(tags(s), (std::vector<float>{6, 3, 1, 4, 7, 0, 2, 5}));

    // Against the library's stable sort on a longer shuffled list.
    ParticleRandom random(7);
    ParticleEngine big;
    std::vector<CParticle> reference;
    for (int i = 0; i < 300; ++i) {
        const CParticle p = keyed(static_cast<float>(random.below(20)), static_cast<float>(i));
        big.addParticle(p);
        reference.push_back(p);
    }
    big.sort();
    std::stable_sort(reference.begin(), reference.end());
    std::vector<float> expected;
    for (const CParticle &p : reference) {
        expected.push_back(p.getLife());
    }
    EXPECT_EQ(tags(big), expected);
    EXPECT_EQ(big.getParticles().size(), 300u);
}

TEST(ParticleEngineOrder, EmittersCompareByDepthAndTheHelperPutsTheNearestFirst) {
    const float depths[] = {-5.0f, -20.0f, -1.0f};
    std::vector<std::unique_ptr<ParticleEngine>> engines;
    std::vector<ParticleEngineHelp> help;
    for (float d : depths) {
        engines.push_back(std::make_unique<ParticleEngine>());
        const float wc[3] = {0.0f, 0.0f, d};
        engines.back()->setPosWC(wc);
        help.emplace_back(engines.back().get());
    }
    EXPECT_TRUE(*engines[1] < *engines[0]);
    EXPECT_TRUE(*engines[2] > *engines[0]);
    EXPECT_TRUE(engines[2]->leq(*engines[0]));
    EXPECT_FALSE(engines[0]->leq(*engines[0])); // strict: usable as a sort order

    std::sort(help.begin(), help.end());
    ASSERT_EQ(help.size(), 3u);
    EXPECT_EQ(help[0].getParticleEngine()->getPosWC()[2], -1.0f);
    EXPECT_EQ(help[1].getParticleEngine()->getPosWC()[2], -5.0f);
    EXPECT_EQ(help[2].getParticleEngine()->getPosWC()[2], -20.0f);

    // The scene keeps a std::list; its sort gives the same order.
    std::list<ParticleEngineHelp> list;
    for (auto &e : engines) {
        list.emplace_back(e.get());
    }
    list.sort();
    std::vector<float> order;
    for (const ParticleEngineHelp &h : list) {
        order.push_back(h.getParticleEngine()->getPosWC()[2]);
    }
    EXPECT_EQ(order, (std::vector<float>{-1.0f, -5.0f, -20.0f}));
}

TEST(ParticleEngineBase, StepsMoveEveryParticleAndTheFirstFollowsThePosition) {
    ParticleEngine e;
    CParticle p;
    p.setDir(0.0f, 0.0f, 1.0f);
    p.setSpeed(4.0f);
    p.setLife(1.0f);
    e.addParticle(p);
    e.addParticle(p);

    const float newPos[3] = {5.0f, 6.0f, 7.0f};
    e.doAction(0.25f, newPos);
    EXPECT_FLOAT_EQ(e.getPos()[0], 5.0f);
    EXPECT_FLOAT_EQ(e.getPos()[2], 7.0f);
    e.doAction(0.25f);
    for (const CParticle &q : e.getParticles()) {
        EXPECT_NEAR(q.getPos()[2], 2.0f, 1e-6); // the particles did not jump with the emitter
        EXPECT_NEAR(q.getLife(), 0.5f, 1e-6);
    }
    EXPECT_EQ(e.getTimeToLife(), 0.0f); // the base never runs its time to live down
    EXPECT_EQ(e.getResortCountdown(), -1);
}

// drawSorted with particles placed by hand: the explosion's sorted drawing
// (resort delay 0) on an emitter without registry, so nothing but the order matters.
class ParticleEngineResort : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        const float origin[3] = {0.0f, 0.0f, 0.0f};
        const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        engine = std::make_unique<CPeExplosion>(origin, white, 0, 1.0f, 1.0f, nullptr);
        CParticle mover;
        mover.setPos(0.0f, 0.0f, 0.0f);
        mover.setDir(0.0f, 0.0f, 1.0f);
        mover.setSpeed(1.0f);
        mover.setHalfSquareLength(1.0f); // tag
        CParticle still;
        still.setPos(0.0f, 0.0f, 1.0f);
        still.setHalfSquareLength(2.0f); // tag
        engine->addParticle(still);
        engine->addParticle(mover);
    }

    std::unique_ptr<CPeExplosion> engine;
};

TEST_F(ParticleEngineResort, SortsOnlyWhenTheCameraTurnedAndAtMostEverySecondFrame) {
    // Yaw 0: the depth key is z. The first check always sorts.
    engine->drawSorted(-30.0f, 0.0f, 0.0f);
    EXPECT_EQ(sizes(*engine), (std::vector<float>{1.0f, 2.0f}));
    EXPECT_EQ(engine->getResortCountdown(), 0);

    engine->doAction(2.0f); // the mover passes the still one: keys 2 and 1
    engine->drawSorted(-30.0f, 0.0f, 0.0f);
    EXPECT_EQ(engine->getResortCountdown(), -1);
    EXPECT_EQ(sizes(*engine), (std::vector<float>{1.0f, 2.0f}));         // waiting frame
    EXPECT_FLOAT_EQ(engine->getParticles().front().getPosWC()[2], 2.0f); // keys are fresh anyway

    engine->drawSorted(-30.0f, 0.0f, 0.0f);
    EXPECT_EQ(sizes(*engine), (std::vector<float>{1.0f, 2.0f})); // camera still: no resort
    EXPECT_EQ(engine->getResortCountdown(), 0);

    engine->drawSorted(-40.0f, 0.0f, 0.0f); // turned, but this is a waiting frame
    EXPECT_EQ(sizes(*engine), (std::vector<float>{1.0f, 2.0f}));
    engine->drawSorted(-40.0f, 0.0f, 0.0f); // pitch differs from the last sort's
    EXPECT_EQ(sizes(*engine), (std::vector<float>{2.0f, 1.0f}));
    EXPECT_EQ(engine->getResortCountdown(), 0);
}

TEST_F(ParticleEngineResort, DepthKeysFollowTheCameraYaw) {
    // Particles along x only: at yaw 90 the key is s*x + c*z = x.
    engine = std::make_unique<CPeExplosion>();
    for (float x : {3.0f, -2.0f, 1.0f}) {
        CParticle p;
        p.setPos(x, 0.0f, 0.0f);
        p.setLife(x);
        engine->addParticle(p);
    }
    engine->drawSorted(0.0f, 90.0f, 0.0f);
    EXPECT_EQ(tags(*engine), (std::vector<float>{-2.0f, 1.0f, 3.0f}));
    const CParticle &first = engine->getParticles().front();
    EXPECT_NEAR(first.getPosWC()[0], 0.0f, 1e-5); // c*x - s*z
    EXPECT_NEAR(first.getPosWC()[2], -2.0f, 1e-5);

    // Turned round (yaw 270) the order reverses at the next check.
    engine->drawSorted(0.0f, 270.0f, 0.0f);
    engine->drawSorted(0.0f, 270.0f, 0.0f);
    EXPECT_EQ(tags(*engine), (std::vector<float>{3.0f, 1.0f, -2.0f}));
}

} // namespace
