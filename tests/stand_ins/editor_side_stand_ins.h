#pragma once

// Stand-ins for the editor-side windows (editor, special string dialog,
// progress, preview, rename error) until those windows exist. They let the
// list window, its undo and its export run in the real program and in tests;
// they show nothing.

#include "run/run_windows.h"

#include <QApplication>

#include <functional>

namespace renomiq::test {

class EditorStandIn : public EditorWindow {
public:
    std::function<void()> onClose; // the close handling: RunDriver::reportEditorClosed
    int shown = 0;
    void showEditor() override { ++shown; }
    void hideEditor() override {}
    void closeEditor() override
    {
        if (onClose)
            onClose();
    }
};

class ProgressStandIn : public ProgressWindow {
public:
    void runWithProgress(const std::function<void()> &job) override { job(); }
    void setProgressMaximum(int) override {}
    void setProgressPosition(int position) override { m_position = position; }
    int progressPosition() const override { return m_position; }
    void setProgressNames(const std::string &, const std::string &) override {}
    void showSearchPanel(bool) override {}
    void processEvents() override { QApplication::processEvents(); }
    void setBusy(bool) override {}

private:
    int m_position = 0;
};

class PreviewStandIn : public PreviewWindow {
public:
    void clearPreview() override {}
    void addPreviewRow(const std::string &, const std::string &) override {}
    void showPreview(bool) override {}
    void closePreview() override {}
};

class RenameErrorStandIn : public RenameErrorWindow {
public:
    void showRenameError(const std::string &, const std::string &, const std::string &) override {}
};

} // namespace renomiq::test
