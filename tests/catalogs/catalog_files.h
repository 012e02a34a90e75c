// Writes small catalog files for the tests, in the encodings the loaders read.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "win32/text.h"

class CatalogFiles : public ::testing::Test {
protected:
    void TearDown() override {
        for (const std::string& p : written_) std::remove(p.c_str());
    }
    std::string Path(const std::string& name) {
        // Tests run as parallel processes, and whole suites (two builds) side by side:
        // keep each test's files apart, per process.
        std::string p = ::testing::TempDir() +
                        ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                        std::to_string(::getpid()) + "_" + name;
        written_.push_back(p);
        return p;
    }
    static void WriteBytes(const std::string& path, const std::string& bytes) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    static std::string Utf16Bytes(const std::wstring& text, bool bom = true) {
        std::u16string units = winplat::WideToUtf16(text);
        std::string bytes = bom ? std::string("\xFF\xFE") : std::string();
        for (char16_t u : units) {
            bytes += static_cast<char>(u & 0xFF);
            bytes += static_cast<char>(u >> 8);
        }
        return bytes;
    }
    // A UTF-16 file with byte-order mark; returns its path as wide text.
    std::wstring WriteUtf16(const std::string& name, const std::wstring& text) {
        std::string p = Path(name);
        WriteBytes(p, Utf16Bytes(text));
        return winplat::Utf8ToWide(p);
    }
    // A narrow file in code page 936.
    std::string WriteAnsi(const std::string& name, const std::wstring& text) {
        std::string p = Path(name);
        WriteBytes(p, winplat::WideToAnsi(text, 936));
        return p;
    }

private:
    std::vector<std::string> written_;
};
