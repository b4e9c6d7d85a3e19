// Every pause of the game, in milliseconds, side by side.
#pragma once

namespace kelvara::durations {

inline constexpr int kDerailStep = 1000;        // each further blocked push step
inline constexpr int kDerailMessages = 3000;    // between the closing derailment messages
inline constexpr int kQuizMove = 1000;          // after each back-in and each pull of the quiz maker
inline constexpr int kRouteHold = 5000;         // the sign shows the head shunt this long
inline constexpr int kClearKeptGame = 1000;     // a game taken up leaves its slot this long after start-up
inline constexpr int kWrongRoute = 4000;        // after the "look at the sign" warning
inline constexpr int kOneInputCommand = 1000;   // before each command of a one-input run
inline constexpr int kCompleteWindow = 3000;    // the completion window stays up
inline constexpr int kTunePoll = 50;            // between looks at a tune that is still playing
inline constexpr int kFanfareLongest = 20000;    // a fanfare still "playing" after this has stalled
inline constexpr int kParLongest = 5000;        // the completion waits at most this long for the fewest moves
inline constexpr int kStepFrame = 50;           // each drawn step of a move stays this long on the screen
inline constexpr int kPumpEvery = 8;            // the event loop turns at most this often when asked once
inline constexpr int kEscapeAfterRun = 1500;    // an Escape this soon after the departure run was meant for it

}  // namespace kelvara::durations
