#pragma once

#include <gtest/gtest.h>

#include "ui/ScriptedModalSeam.h"

// Installs a scripted modal seam for the duration of a test.
class ScriptedSeamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto owned = std::make_unique<ScriptedModalSeam>();
        seam = owned.get();
        previous_ = SetModalSeam(std::move(owned));
    }
    void TearDown() override { SetModalSeam(std::move(previous_)); }

    ScriptedModalSeam* seam = nullptr;

  private:
    std::unique_ptr<ModalSeam> previous_;
};
