#pragma once
// The editor's window tests: a program folder and a folder of files of the
// test's own, fresh shared state, and the editor window opened on them.

#include "editor/frmFileListEx.h"
#include "shared/IniFile.h"
#include "shared/ListStore.h"
#include "shared/Settings.h"
#include "shared/mdlPublic.h"

#include "TempDir.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        mdlPublic::setPaths(pub, m_home.path().string());
        m_ini = pub.settingsPath;
    }

    // A new editor window (the one before it goes), loaded but not shown.
    editor::frmFileListEx& Load() {
        m_window.reset();
        m_window = std::make_unique<editor::frmFileListEx>(pub);
        m_window->Form_Load();
        return *m_window;
    }
    // A new editor window, shown, once the events of its showing have run.
    editor::frmFileListEx& Open() {
        Load().show();
        QApplication::processEvents();
        return *m_window;
    }

    std::string Ini() const { return TempDir::get(m_ini); }
    // The settings file with the lines given ("KEY=value\r\n" each).
    void PutIni(const std::string& lines) const { TempDir::put(m_ini, "[VISTROVA]\r\n" + lines); }
    template <typename T>
    std::string Value(const settings::Key<T>& key) const {
        return ini::Snapshot(Ini()).read(settings::kSection, key.name);
    }

    std::string ListFile(int page, int list) const { return liststore::listFilePath(pub.listPrefix, page, list); }
    void Store(const std::vector<liststore::Entry>& entries, const std::string& name = "T", int page = 0,
               int list = 0) {
        ASSERT_TRUE(liststore::writeListFile(ListFile(page, list), name, entries));
    }
    // Entries e0.jpg, e1.jpg, ... of files that need not be there.
    static std::vector<liststore::Entry> Entries(int n) {
        std::vector<liststore::Entry> out;
        for (int i = 0; i < n; ++i) out.push_back({"e" + std::to_string(i) + ".jpg", "/x/e" + std::to_string(i) + ".jpg"});
        return out;
    }

    TempDir m_home;
    TempDir m_files;
    const QString m_root = QString::fromStdString(m_files.path().string()) + "/";  // m_files, as the editor names it
    std::string m_ini;
    mdlPublic::PublicState pub;  // the state the windows are given

private:
    std::unique_ptr<editor::frmFileListEx> m_window;
};
