// The menu "分析" of the main window's menu bar, where what looks into the
// samples of a run has its items (the trace, the trigger). Whoever comes
// first makes it; the others find it by its object name.
#pragma once

class QMainWindow;
class QMenu;

namespace kv {

// The menu "AnalysisMenu": found, or made after "设置" ("SettingsMenu") when
// the window has that menu, else at the end of the menu bar.
QMenu* AnalysisMenu(QMainWindow& window);

} // namespace kv
