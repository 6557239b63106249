#pragma once

// A placeholder for a future analysis of a level's obstacles for the computer player; it holds no
// data and its one operation builds nothing yet.
class AiLevelAnalysis {
  public:
    // Would build the obstacle map; does nothing and reports success.
    bool makeAiObstacleMap();
};
