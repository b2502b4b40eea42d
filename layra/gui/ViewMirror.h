#pragma once
// One Qt widget for each host widget of a view (a palette, a dialog): built when the view
// comes on screen, kept in step with every change the host reports, and every click or key
// press goes into the host widget's control data or event handler, never around them.

#include <layra/IControlView.h>

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace layra::gui {

class ViewMirror {
public:
  /** Runs the host's handling of one input; the window shows itself busy meanwhile and
   *  draws its pages again afterwards. */
  using Runner = std::function<void(const std::function<void()>& work)>;
  ViewMirror(IControlView* root, QWidget* parent, Runner run);
  ~ViewMirror();
  ViewMirror(const ViewMirror&) = delete;
  ViewMirror& operator=(const ViewMirror&) = delete;

  QWidget* Root() const { return fRoot; }
  /** The host widget the mirror was made for; null once the host destroyed it. */
  IControlView* View() const;
  /** The host reported a change on `view`, to be shown by the next Flush (a list laid out
   *  anew is read once, not once per row); false when the view is not mirrored here. */
  bool Changed(IControlView* view);
  /** The host is destroying `view`: never read again, its Qt widget goes (or waits for a
   *  row of the same shape) once its parent's change is shown; false when not here. */
  bool Gone(IControlView* view);
  /** Shows every change reported so far; asking for a widget does it first. */
  void Flush();
  QWidget* WidgetFor(const IControlView* view);
  /** Lets go of the host's widgets: they may be gone once their window is off screen. The
   *  Qt widgets stay until their parent deletes them. */
  void Release();

  struct Node {
    QWidget* widget = nullptr;
    std::vector<IControlView*> children; // not referenced; the host's panel holds them
    PMRect designFrame;
    std::string shape;    // a tree row's widgets, when they can serve another row
    bool pending = false; // a change waits to be shown
    bool dead = false;    // the host destroyed the view: never read; its widget goes later
  };
  /** The host widget a Qt widget shows now; null when none. */
  IControlView* ViewOf(const QWidget* widget) const;
  /** Gives host input to `view`; afterwards the view is read again if it is still here. */
  void Input(IControlView* view, const std::function<void(IControlView*)>& act);
  const Node* Find(const IControlView* view) const;
  void Relayout(IControlView* container, QSize size);

private:
  QWidget* Make(IControlView* view, QWidget* parent);
  /** Reads a widget again; `deep`: its mirrored descendants too, else only new ones. */
  void Sync(IControlView* view, bool deep = false);
  void SyncChildren(IControlView* view, Node& node, bool deep);
  void Bind(IControlView* view, QWidget* widget);
  /** Takes `view` out of the mirror; its Qt widgets go, or wait in the pool for a row of the
   *  same shape when it is a tree row (`pooled`: an ancestor row's widgets wait). */
  void Forget(IControlView* view, bool pooled = false);
  void Collect(const IControlView* view, std::vector<QWidget*>& widgets) const;
  /** Shows a new tree row in the widgets of a row taken off before; null when none fits. */
  QWidget* Reuse(IControlView* row, QWidget* parent);
  /** Hides the rows waiting in the pool: a row that served again never blinks. */
  void HidePool();

  struct Pooled {
    QPointer<QWidget> row; // gone with its tree view when that goes first
    std::string shape;
    std::vector<QWidget*> widgets; // the row's, in the host's order
  };
  std::vector<Pooled> fPool;
  std::unordered_map<const QWidget*, IControlView*> fViewOf;

  std::unordered_map<const IControlView*, Node> fNodes;
  std::vector<IControlView*> fPending; // reported changed, in order, each once
  std::shared_ptr<ViewMirror*> fLink;  // cleared when the mirror lets go
  IControlView* fView;
  QWidget* fRoot = nullptr;
  Runner fRun;
  int fInputDepth = 0;
};

} // namespace layra::gui
