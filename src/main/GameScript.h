#pragma once

#include <string>
#include <vector>

// A script of the game's inputs for a run that drives itself (`panzerfeld --script FILE`): what
// the end-to-end tests play. Time is counted in ticks of the battle (60 a second) from the start
// of the run, in the menus too, and the run goes as fast as the machine allows, drawing only the
// frames the script asks for; so the same script gives the same pictures on every machine.
//
// One step a line, run in order; each waits for the one before it and for its own moment:
//
//     # a comment
//     at 120 down w           not before tick 120 of the run
//     +30 up w                30 ticks after the step before
//     on Battle shot a.png    as soon as the screen is Battle (names as "Screen: ..." says them;
//                             quote a name of two words: on "Level choice" key enter)
//     key enter               no moment: at once after the step before
//     on Result               a moment alone: the steps after it wait for it
//
// Actions:
//     key NAME, down NAME, up NAME   a key pressed and released, pressed, or released (names as in
//                                    playerconfig.ini: w, space, up, enter, f2, ...; and escape)
//     click ITEM                     a click on the main menu's item ITEM (1 to 6)
//     click X Y, point X Y           a left click at, or the pointer moved to, window pixel X, Y
//     drag DX DY                     the right button dragged by DX, DY pixels (turns the camera)
//     pad N WHAT...                  virtual pad N (1 to 8) is plugged in, changes what it reports,
//                                    or is unplugged: WHAT as on a line of a pad script
//                                    (input/PadScript.h): attach [name=value...], name=value...,
//                                    or detach; checked when the run starts
//     shot FILE                      the frame drawn and saved as a PNG picture (FILE relative to
//                                    the script's folder)
//     hash                           "Script hash at tick N: <state hash>" printed
//     end                            the run ends with status 0
// and one setting, anywhere:
//     limit TICKS                    the run fails if it has not ended by then (default 36000)
class GameScript {
  public:
    enum class When { kNow, kAt, kAfter, kOnScreen };
    enum class Action { kWait, kKey, kDown, kUp, kClickItem, kClick, kPoint, kDrag, kShot, kHash, kEnd, kPad };

    static constexpr long kDefaultLimit = 36000;   // ticks: ten minutes of the battle's time
    static constexpr long kMaxTick = 60L * 3600 * 24; // a day of ticks: any later moment is a typo
    static constexpr int kMaxCoordinate = 100000;  // pixels

    struct Step {
        int line = 0;        // in the file, for messages
        When when = When::kNow;
        long tick = 0;       // kAt: the tick; kAfter: ticks after the step before
        std::string screen;  // kOnScreen: the screen's name
        Action action = Action::kEnd;
        int key = 0;         // kKey, kDown, kUp: the key-table code
        int x = 0, y = 0;    // kClick, kPoint: pixels; kDrag: the movement; kClickItem: x is the item
        std::string file;    // kShot: where the picture goes, as written; kPad: "N WHAT..." as written
    };

    std::vector<Step> steps;
    long limit = kDefaultLimit;

    // Reads `text` (a script file's contents); false with `problem` naming the line and what is
    // wrong with it. Every step is checked here: a script that reads runs.
    static bool parse(const std::string &text, GameScript &script, std::string &problem);
    // Reads the file at `path`; false with `problem` saying why (no such file, or parse's reason).
    static bool read(const std::string &path, GameScript &script, std::string &problem);
    // The names of the screens a step may wait for.
    static const std::vector<std::string> &screenNames();
};
