// The yard for a player who cannot see it: its parts named in the player's language, for the
// guide and for assistive technology, and the yard handed to assistive technology as a
// structure of its own: the three lines, each a list of its 20 slots, then the route and the
// signs.
#pragma once

#include <QString>
#include <vector>

namespace kelvara {
class ITexts;
}

namespace kelvara::qt {

class YardView;

// "head shunt", "line 1", "line 2".
QString LineName(const ITexts& texts, int line);
// What stands in a cell: "car 3", "locomotive 1 of 2", "empty".
QString SlotName(const YardView& view, int cell);
// Where a cell is, numbered as the yard's green guide numbers it: "line 1, slot 05".
QString SlotPlace(const ITexts& texts, int cell);
// The guide's line for the cursor: "Cursor: car 3 (line 1, slot 05)".
QString CursorGuide(const YardView& view, int cell);
// "Route: line 1": where the junction points.
QString RouteName(const YardView& view);
// The signs: 0 the route signal, 1 and 2 the shunting signs of lines 1 and 2.
inline constexpr int kSigns = 3;
QString SignName(const YardView& view, int sign);
// A line read from its junction end, runs of empty slots counted, a siding's up to its car
// stopper: "line 1: car 3, 2 empty, car 1, 15 empty"; empty for a line without units.
QString LineSummary(const YardView& view, int line);
// Every line that holds units, one after another.
QString YardSummary(const YardView& view);

// Hands assistive technology the yard's own structure in place of a plain picture.
void InstallYardAccess();
// Tell assistive technology what changed: these cells' names; the route and the signs; the yard's
// announcement; the cursor.
void NotifySlots(YardView& view, const std::vector<int>& cells);
void NotifySigns(YardView& view);
void NotifyAnnouncement(YardView& view);
void NotifyCursor(YardView& view);

}  // namespace kelvara::qt
