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
#include <layra/host/Result.h>

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class IControlView;

namespace layra {

/** Each act is done, or fails with why it could not be. */
class LAYRA_API Automation {
public:
  Result<void> ShowPalette(const std::string& palette);
  Result<void> HidePalette(const std::string& palette);
  /** Presses a button, or turns a check box or an expander over. */
  Result<void> Press(const std::string& widget);
  Result<void> SetChecked(const std::string& widget, bool on);
  Result<void> ToggleRow(const std::string& tree, std::int32_t row);
  /** Clicks the first row, then the others with the Command key. */
  Result<void> SelectRows(const std::string& tree, const std::vector<std::int32_t>& rows);
  /** Turns the row's expander. */
  Result<void> ExpandRow(const std::string& tree, std::int32_t row, bool expand);
  /** Double-clicks a row; it is an error when no handler takes the event. */
  Result<void> DoubleClickRow(const std::string& tree, std::int32_t row);
  Result<void> Type(const std::string& widget, const std::string& text);
  Result<void> Choose(const std::string& combo, const std::string& entry);
  /** Chooses an entry of a palette's panel menu, or else of a menu of the main menu. */
  Result<void> ChooseMenu(const std::string& palette, const std::string& entry);
  Result<void> PerformAction(ActionID action);
  /** Opens the preferences dialog on the page whose panel has widget ID `page`. */
  Result<void> OpenPreferences(const std::string& page);
  Result<void> Confirm();
  Result<void> Cancel();
  /** The answer for the next folder chooser; nullopt cancels it. */
  void AnswerFolderChooser(std::optional<std::filesystem::path> folder);
  /** What a palette (by title or "#id") or the front dialog ("dialog") shows, one widget a
   *  line; hidden widgets say so and show nothing more, passwords show as bullets. */
  Result<std::string> Dump(const std::string& target);

private:
  Result<void> ChooseMainMenu(const std::string& menu, const std::string& entry);
  Result<IControlView*> FindWidget(const std::string& name);
  Result<IControlView*> FindRow(const std::string& tree, std::int32_t row);
};

/** Runs a steps file: one step a line, "#" starts a comment. Stops at the first step that
 *  cannot be done, failing with why, after the file name and line. Dumps go to `out`. */
LAYRA_API Result<void> RunSteps(std::istream& steps, const std::string& fileName,
                                std::ostream& out);

} // namespace layra
