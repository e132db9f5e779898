// The repository with its protected members opened up for tests, the way a
// subclass in another binary may use them.
#ifndef KESTRINE_TESTS_REPOSITORY_TESTABLE_REPOSITORY_H
#define KESTRINE_TESTS_REPOSITORY_TESTABLE_REPOSITORY_H

#include <gtest/gtest.h>
#include <kestrine/kestrine.h>

#include <string>
#include <vector>

namespace kestrine::testing {

class TestableRepository : public CServiceRepositoryLight {
 public:
  using CServiceRepositoryLight::AddService;
  using CServiceRepositoryLight::CleanUp;
  using CServiceRepositoryLight::DeleteExistingFile;
  using CServiceRepositoryLight::DeleteServiceByNameInternal;
  using CServiceRepositoryLight::GetServiceByNameInternal;
  using CServiceRepositoryLight::LoadSingleServiceData;
  using CServiceRepositoryLight::LocationsEqual;
  using CServiceRepositoryLight::SaveInitialDataToIniFile;
  using CServiceRepositoryLight::String2IntValue;
  using CServiceRepositoryLight::String2Time;
  using CServiceRepositoryLight::ToReplaceService;
  using CServiceRepositoryLight::TreeHandle;
  using CServiceRepositoryLight::Write_BoolValue2IniFile;
  using CServiceRepositoryLight::Write_IntValue2IniFile;
  using CServiceRepositoryLight::Write_StringValue2IniFile;
  using CServiceRepositoryLight::Write_TimeValue2IniFile;

  /// The names GetServiceNames lists (into a vector that held something
  /// before, to show that it is emptied first).
  std::vector<std::string> Names() {
    std::vector<std::string> names{"stale"};
    EXPECT_EQ(GetServiceNames(&names), 0);
    return names;
  }

  /// Adds a record named `name` (other fields default).
  int Add(const char* name) {
    CService record;
    record.SetName(name);
    return AddService(&record);
  }
};

}  // namespace kestrine::testing

#endif  // KESTRINE_TESTS_REPOSITORY_TESTABLE_REPOSITORY_H
