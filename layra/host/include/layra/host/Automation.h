#pragma once
// Acting on the host's widgets as a person does: show a palette, press a button, tick a
// row's check box, select rows, type, choose a combo entry or a panel-menu entry, confirm or
// cancel a dialog, answer the folder chooser. Every act goes through the widget's control
// data or event handler, so the plug-in's observers hear it as they hear a real one.
//
// A widget is named by "#" and its ID ("#0x12250c") or by the text a person sees on it
// (its label, its tip). Widgets are looked for in the dialog in front, else in the shown
// palettes. Rows of a tree view count from 1.

#include <layra/Export.h>
#include <layra/IDs.h>

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class IControlView;

namespace layra {

class LAYRA_API Automation {
public:
  /** Empty when the act was done; otherwise why it could not be. */
  using Error = std::string;

  Error ShowPalette(const std::string& palette);
  Error HidePalette(const std::string& palette);
  /** Presses a button, or turns a check box or an expander over. */
  Error Press(const std::string& widget);
  Error SetChecked(const std::string& widget, bool on);
  Error ToggleRow(const std::string& tree, std::int32_t row);
  /** Clicks the first row, then the others with the Command key. */
  Error SelectRows(const std::string& tree, const std::vector<std::int32_t>& rows);
  /** Turns the row's expander. */
  Error ExpandRow(const std::string& tree, std::int32_t row, bool expand);
  /** Double-clicks a row; it is an error when no handler takes the event. */
  Error DoubleClickRow(const std::string& tree, std::int32_t row);
  Error Type(const std::string& widget, const std::string& text);
  Error Choose(const std::string& combo, const std::string& entry);
  /** Chooses an entry of a palette's panel menu, or else of a menu of the main menu. */
  Error ChooseMenu(const std::string& palette, const std::string& entry);
  Error PerformAction(ActionID action);
  /** Opens the preferences dialog on the page whose panel has widget ID `page`. */
  Error OpenPreferences(const std::string& page);
  Error Confirm();
  Error Cancel();
  /** The answer for the next folder chooser; nullopt cancels it. */
  void AnswerFolderChooser(std::optional<std::filesystem::path> folder);
  /** What a palette (by title or "#id") or the front dialog ("dialog") shows, one widget a
   *  line; hidden widgets say so and show nothing more, passwords show as bullets. */
  Error Dump(const std::string& target, std::string& text);

private:
  Error ChooseMainMenu(const std::string& menu, const std::string& entry);
  Error FindWidget(const std::string& name, IControlView*& found);
  Error FindRow(const std::string& tree, std::int32_t row, IControlView*& found);
};

/** Runs a steps file: one step a line, "#" starts a comment. Stops at the first step that
 *  cannot be done, with `error` naming the file and line. Dumps go to `out`. */
LAYRA_API bool RunSteps(std::istream& steps, const std::string& fileName, std::ostream& out,
                        std::string& error);

} // namespace layra
