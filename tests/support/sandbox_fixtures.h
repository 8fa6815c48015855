// Test fixtures around the Sandbox: one for a whole test program, and a
// sandboxed HKEY_CLASSES_ROOT per test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "tests/support/files.h"
#include "tests/support/sandbox.h"

// A Sandbox for a whole test program: made before the first test, so
// before any shell call, and removed after the last.
class SandboxEnvironment : public ::testing::Environment {
 public:
  SandboxEnvironment(std::string name, unsigned scope) : name_(std::move(name)), scope_(scope) {}
  void SetUp() override {
    sandbox_ = std::make_unique<Sandbox>(name_, scope_);
    ASSERT_EQ(sandbox_->error(), "");
  }
  void TearDown() override { sandbox_.reset(); }
  const Sandbox& sandbox() const { return *sandbox_; }

 private:
  std::string name_;
  unsigned scope_;
  std::unique_ptr<Sandbox> sandbox_;
};

// Registers a SandboxEnvironment; call it to initialise a namespace-scope
// pointer, which then lives as long as the program.
inline SandboxEnvironment* AddSandboxEnvironment(const std::string& name, unsigned scope) {
  auto* environment = new SandboxEnvironment(name, scope);
  ::testing::AddGlobalTestEnvironment(environment);  // gtest owns it
  return environment;
}

// HKEY_CLASSES_ROOT redirected into keys of its own for each test.
class ClassesSandboxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sandbox_ = std::make_unique<Sandbox>("classes", Sandbox::kClasses);
    ASSERT_EQ(sandbox_->error(), "");
    classes_ = sandbox_->classes();
  }
  void TearDown() override {
    sandbox_.reset();
    classes_ = nullptr;
  }

  std::unique_ptr<Sandbox> sandbox_;
  HKEY classes_ = nullptr;  // the sandbox's
};

// As ClassesSandboxTest, with an install folder holding empty stand-ins of
// the editor and the pinyin server; its name has blanks, so its short form
// differs.
class ServerRegistrationTest : public ClassesSandboxTest {
 protected:
  void SetUp() override {
    ClassesSandboxTest::SetUp();
    ASSERT_FALSE(servers_.path().empty());
    folder_ = servers_.path();
    for (const char* file : {"tvkedit.exe", "Nodrix.exe"}) {
      ASSERT_TRUE(WriteWholeFile(servers_ / file, ""));
    }
  }

  ScratchFolder servers_{"Tavik Roved Test"};
  std::string folder_;
};
