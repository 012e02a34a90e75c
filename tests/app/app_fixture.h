// Set-up shared by the shell tests: a home folder of their own (documents, per-user
// folders), shared sections of their own, and the kernel pointed at a program folder.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "ui_fixture.h"

class AppTest : public UiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Points the module path (and so the kernel's program folder) at `folder`.
    static void UseProgramFolder(const TempDir& folder);
    // Copies the data files the build laid out in the program folder into `to`:
    // nothing a run of the program left there.
    static void CopyProgramFolder(const TempDir& to);
    // The documents folder the application object uses under the test's home.
    std::string DocumentsDir() const { return home_.native() + "/Documents"; }

    TempDir home_;

private:
    std::string savedHome_;
    std::string savedConfig_;
};

// The paths the build lays out in the program folder (relative, "/"-separated).
std::vector<std::string> ProgramLayout();
// Copies those of them that are data files (not the program and its libraries) from
// one program folder to another.
void CopyLaidOutFiles(const std::string& from, const std::string& to);

std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
