#pragma once
// Every registry test gets its own folders and registry file, and leaves the
// process pointing at no file of its own.
#include <gtest/gtest.h>

#include "platform/registry/Registry.h"
#include "tests/support/TempDir.h"

namespace registrytest {

class RegistryTest : public ::testing::Test {
 protected:
  ~RegistryTest() override { platform::SetRegistryFile(""); }
  testsupport::TestEnvironment m_env;
};

}  // namespace registrytest
