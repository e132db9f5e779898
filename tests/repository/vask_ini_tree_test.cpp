// The handle-based INI-tree interface: opening, walking, editing, saving,
// null handles, and Windows-style paths.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include <string>
#include <vector>

#include "repository/vask_ini_tree.h"
#include "sys_fault.h"
#include "temp_files.h"

namespace kestrine::testing {
namespace {

// Owns a tree handle for the test's scope.
struct TreeHandle {
  explicit TreeHandle(void* tree) : handle(tree) {}
  ~TreeHandle() { vaskinitree_delete(handle); }
  TreeHandle(const TreeHandle&) = delete;
  TreeHandle& operator=(const TreeHandle&) = delete;
  void* handle;
};

std::vector<std::string> RootNames(void* tree) {
  std::vector<std::string> names;
  vaskinitree_enumerate_roots(tree);
  while (void* root = vaskinitree_get_next_root(tree))
    names.push_back(vaskinitreenode_get_name(root));
  return names;
}

std::vector<std::string> SonNames(void* node) {
  std::vector<std::string> names;
  vaskinitreenode_enumerate_sons(node);
  while (void* son = vaskinitreenode_get_next_son(node))
    names.push_back(vaskinitreenode_get_name(son));
  return names;
}

// The first root, its walk over its children started.
void* FirstRootWalkingSons(void* tree) {
  vaskinitree_enumerate_roots(tree);
  void* root = vaskinitree_get_next_root(tree);
  vaskinitreenode_enumerate_sons(root);
  return root;
}

TEST(IniTreeApi, NullArgumentsAreHarmless) {
  TempDir dir;
  TreeHandle tree(vaskinitree_new_ex((dir / "f.ini").c_str(), 1));
  ASSERT_NE(tree.handle, nullptr);
  void* root = vaskinitree_add_root(tree.handle, "A");
  ASSERT_NE(root, nullptr);

  EXPECT_EQ(vaskinitree_new_ex(nullptr, 0), nullptr);
  EXPECT_EQ(vaskinitree_new_ex(nullptr, 1), nullptr);
  vaskinitree_enumerate_roots(nullptr);
  EXPECT_EQ(vaskinitree_get_next_root(nullptr), nullptr);
  EXPECT_EQ(vaskinitreenode_get_name(nullptr), nullptr);
  vaskinitreenode_enumerate_sons(nullptr);
  EXPECT_EQ(vaskinitreenode_get_next_son(nullptr), nullptr);
  EXPECT_EQ(vaskinitreenode_get_attrib(nullptr, "k"), nullptr);
  EXPECT_EQ(vaskinitreenode_get_attrib(root, nullptr), nullptr);
  EXPECT_EQ(vaskinitree_add_root(nullptr, "A"), nullptr);
  EXPECT_EQ(vaskinitree_add_root(tree.handle, nullptr), nullptr);
  EXPECT_EQ(vaskinitreenode_add_son(nullptr, "a"), nullptr);
  EXPECT_EQ(vaskinitreenode_add_son(root, nullptr), nullptr);
  EXPECT_NE(vaskinitreenode_set_attrib(nullptr, "k", "v"), 0);
  EXPECT_NE(vaskinitreenode_set_attrib(root, nullptr, "v"), 0);
  EXPECT_NE(vaskinitreenode_set_attrib(root, "k", nullptr), 0);
  const char* const order[] = {"a", nullptr};
  EXPECT_NE(vaskinitreenode_set_attrib_ordered(nullptr, "k", "v", order, 1), 0);
  EXPECT_NE(vaskinitreenode_set_attrib_ordered(root, "k", "v", nullptr, 1), 0);
  EXPECT_NE(vaskinitreenode_set_attrib_ordered(root, "k", "v", order, 2), 0);
  EXPECT_NE(vaskinitreenode_set_attrib_ordered(root, "k", "v", order, -1), 0);
  EXPECT_EQ(vaskinitreenode_get_attrib(root, "k"), nullptr);
  EXPECT_NE(vaskinitreenode_remove_son(nullptr, root), 0);
  EXPECT_NE(vaskinitreenode_remove_son(root, nullptr), 0);
  EXPECT_NE(vaskinitreenode_remove_son(root, root), 0);
  EXPECT_NE(vaskinitreenode_rename(nullptr, "B"), 0);
  EXPECT_NE(vaskinitreenode_rename(root, nullptr), 0);
  EXPECT_STREQ(vaskinitreenode_get_name(root), "A");
  EXPECT_NE(vaskinitree_save(nullptr, (dir / "f.ini").c_str()), 0);
  EXPECT_NE(vaskinitree_save(tree.handle, nullptr), 0);
  vaskinitree_delete(nullptr);
  EXPECT_EQ(os_is_file_exist(nullptr), 0);
  EXPECT_TRUE(dir.Names().empty());
}

TEST(IniTreeApi, NewTreeTouchesNoDisk) {
  TempDir dir;
  WriteBytes(dir / "existing.ini", "[A]\n");
  {
    DisarmFaults();  // restarts the call counts
    TreeHandle fresh(vaskinitree_new_ex((dir / "new.ini").c_str(), 1));
    TreeHandle over(vaskinitree_new_ex((dir / "existing.ini").c_str(), 1));
    ASSERT_NE(fresh.handle, nullptr);
    ASSERT_NE(over.handle, nullptr);
    EXPECT_TRUE(RootNames(over.handle).empty());  // the file is not read
    vaskinitreenode_set_attrib(vaskinitree_add_root(fresh.handle, "A"), "k", "v");
    for (SysCall call : {SysCall::Open, SysCall::Read, SysCall::Stat, SysCall::Lstat}) {
      EXPECT_EQ(CallCount(call), 0) << SysCallName(call);
    }
  }
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"existing.ini"});
  EXPECT_EQ(vaskinitree_new_ex((dir / "existing.ini").c_str(), 2), nullptr);
  EXPECT_EQ(vaskinitree_new_ex((dir / "existing.ini").c_str(), -1), nullptr);
}

TEST(IniTreeApi, OpenFailsForMissingMalformedAndFolders) {
  TempDir dir;
  const std::string malformed = "[Services]\n[Other\\x]\n";
  WriteBytes(dir / "bad.ini", malformed);
  EXPECT_EQ(vaskinitree_new_ex((dir / "missing.ini").c_str(), 0), nullptr);
  EXPECT_EQ(vaskinitree_new_ex((dir / "bad.ini").c_str(), 0), nullptr);
  EXPECT_EQ(vaskinitree_new_ex(dir.path().c_str(), 0), nullptr);
  {
    ScopedFault fault({SysCall::Read, EIO});
    WriteBytes(dir / "good.ini", "[A]\n");
    EXPECT_EQ(vaskinitree_new_ex((dir / "good.ini").c_str(), 0), nullptr);
  }
  EXPECT_EQ(ReadBytes(dir / "bad.ini"), malformed);
}

TEST(IniTreeApi, WalksRootsAndSonsInFileOrder) {
  TempDir dir;
  WriteBytes(dir / "f.ini", "[S]\nk=1\n[S\\a]\n[S\\b]\n[T]\n[S]\n[S\\c]\n");
  TreeHandle tree(vaskinitree_new_ex((dir / "f.ini").c_str(), 0));
  ASSERT_NE(tree.handle, nullptr);
  EXPECT_EQ(RootNames(tree.handle), (std::vector<std::string>{"S", "T", "S"}));
  vaskinitree_enumerate_roots(tree.handle);
  void* first = vaskinitree_get_next_root(tree.handle);
  EXPECT_EQ(SonNames(first), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SonNames(first), (std::vector<std::string>{"a", "b"}));  // the walk restarts
  EXPECT_STREQ(vaskinitreenode_get_attrib(first, "k"), "1");
  EXPECT_EQ(vaskinitreenode_get_attrib(first, "missing"), nullptr);
  void* second = vaskinitree_get_next_root(tree.handle);
  EXPECT_TRUE(SonNames(second).empty());
  EXPECT_EQ(SonNames(vaskinitree_get_next_root(tree.handle)), std::vector<std::string>{"c"});
  EXPECT_EQ(vaskinitree_get_next_root(tree.handle), nullptr);
}

TEST(IniTreeApi, ValuePointerSurvivesOtherEdits) {
  TreeHandle tree(vaskinitree_new_ex("unused.ini", 1));
  void* node = vaskinitree_add_root(tree.handle, "A");
  ASSERT_EQ(vaskinitreenode_set_attrib(node, "k", "value of k"), 0);
  const char* value = vaskinitreenode_get_attrib(node, "k");
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(vaskinitreenode_set_attrib(node, ("key" + std::to_string(i)).c_str(), "x"), 0);
    vaskinitreenode_add_son(node, ("son" + std::to_string(i)).c_str());
  }
  EXPECT_STREQ(value, "value of k");
  // Setting a value from the attribute's own current text works too.
  ASSERT_EQ(vaskinitreenode_set_attrib(node, "k", value + 6), 0);
  EXPECT_STREQ(vaskinitreenode_get_attrib(node, "k"), "of k");
  EXPECT_NE(vaskinitreenode_set_attrib(node, "bad=key", "v"), 0);
  EXPECT_EQ(vaskinitreenode_add_son(node, "bad\\name"), nullptr);
}

TEST(IniTreeApi, SavesToLoadedPathAndElsewhereThroughBackslashPaths) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir / "Script").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((dir / "Script/WSDL").c_str(), 0755), 0);
  const std::string windows_path = dir.path() + "/Script\\WSDL\\web_services.ini";
  const std::string system_path = dir / "Script/WSDL/web_services.ini";

  TreeHandle created(vaskinitree_new_ex(windows_path.c_str(), 1));
  void* services = vaskinitree_add_root(created.handle, "Services");
  vaskinitreenode_set_attrib(services, "Count", "1");
  vaskinitreenode_set_attrib(vaskinitreenode_add_son(services, "Service_1"), "Name", "A");
  ASSERT_EQ(vaskinitree_save(created.handle, windows_path.c_str()), 0);
  const std::string saved = "[Services]\nCount=1\n\n[Services\\Service_1]\nName=A\n";
  EXPECT_EQ(ReadBytes(system_path), saved);
  EXPECT_NE(os_is_file_exist(windows_path.c_str()), 0);

  TreeHandle loaded(vaskinitree_new_ex(windows_path.c_str(), 0));
  ASSERT_NE(loaded.handle, nullptr);
  vaskinitree_enumerate_roots(loaded.handle);
  void* root = vaskinitree_get_next_root(loaded.handle);
  ASSERT_EQ(vaskinitreenode_set_attrib(root, "Count", "2"), 0);
  ASSERT_EQ(vaskinitree_save(loaded.handle, (dir / "copy.ini").c_str()), 0);
  EXPECT_EQ(ReadBytes(system_path), saved);
  EXPECT_EQ(ReadBytes(dir / "copy.ini"), "[Services]\nCount=2\n\n[Services\\Service_1]\nName=A\n");
  ASSERT_EQ(vaskinitree_save(loaded.handle, windows_path.c_str()), 0);
  EXPECT_EQ(ReadBytes(system_path), ReadBytes(dir / "copy.ini"));
}

// A child added since reading can be taken back; one read from the file
// cannot.
TEST(IniTreeApi, RemovesOnlyAnAddedLastSon) {
  TempDir dir;
  const std::string path = dir / "f.ini";
  WriteBytes(path, "[S]\n[S\\a]\nk=1\n");
  TreeHandle tree(vaskinitree_new_ex(path.c_str(), 0));
  ASSERT_NE(tree.handle, nullptr);
  vaskinitree_enumerate_roots(tree.handle);
  void* root = vaskinitree_get_next_root(tree.handle);
  EXPECT_NE(vaskinitreenode_remove_last_son(root), 0);
  void* added = vaskinitreenode_add_son(root, "b");
  ASSERT_NE(added, nullptr);
  ASSERT_EQ(vaskinitreenode_set_attrib(added, "k", "2"), 0);
  EXPECT_EQ(vaskinitreenode_remove_last_son(root), 0);
  EXPECT_EQ(SonNames(root), std::vector<std::string>{"a"});
  EXPECT_NE(vaskinitreenode_remove_last_son(nullptr), 0);
  ASSERT_EQ(vaskinitree_save(tree.handle, path.c_str()), 0);
  EXPECT_EQ(ReadBytes(path), "[S]\n[S\\a]\nk=1\n");
}

// Removing a service and renumbering the ones after it, as the repository
// does: the walk goes on with the next child, and the lines not edited are
// saved as they were.
TEST(IniTreeApi, RemovesRenamesAndSetsWhereTheyStand) {
  TempDir dir;
  const std::string path = dir / "f.ini";
  WriteBytes(path,
             "[S]\r\nCount = 3\r\n[S\\Service_1]\r\nName=A\r\n"
             "[S\\Service_2] ; B\r\nName=B\r\nUserName=u\r\n[S\\Service_3]\r\nName=C\r\n");
  TreeHandle tree(vaskinitree_new_ex(path.c_str(), 0));
  ASSERT_NE(tree.handle, nullptr);
  void* root = FirstRootWalkingSons(tree.handle);
  void* first = vaskinitreenode_get_next_son(root);
  ASSERT_EQ(vaskinitreenode_remove_son(root, first), 0);
  EXPECT_NE(vaskinitreenode_remove_son(root, first), 0);  // gone already
  void* second = vaskinitreenode_get_next_son(root);
  ASSERT_STREQ(vaskinitreenode_get_name(second), "Service_2");
  void* third = vaskinitreenode_get_next_son(root);
  ASSERT_EQ(vaskinitreenode_rename(second, "Service_1"), 0);
  ASSERT_EQ(vaskinitreenode_rename(third, "Service_2"), 0);
  EXPECT_NE(vaskinitreenode_rename(third, "a\\b"), 0);
  EXPECT_STREQ(vaskinitreenode_get_name(third), "Service_2");
  ASSERT_EQ(vaskinitreenode_set_attrib(root, "Count", "2"), 0);
  const char* const order[] = {"Name", "Password", "UserName"};
  ASSERT_EQ(vaskinitreenode_set_attrib_ordered(second, "Password", "p;w", order, 3), 0);
  ASSERT_EQ(vaskinitree_save(tree.handle, path.c_str()), 0);
  EXPECT_EQ(ReadBytes(path),
            "[S]\r\nCount = 2\r\n"
            "[S\\Service_1] ; B\r\nName=B\r\nPassword=p;w\r\nUserName=u\r\n"
            "[S\\Service_2]\r\nName=C\r\n");
  EXPECT_EQ(SonNames(root), (std::vector<std::string>{"Service_1", "Service_2"}));
}

TEST(IniTreeApi, SaveIntoMissingFolderFails) {
  TempDir dir;
  TreeHandle tree(vaskinitree_new_ex("x.ini", 1));
  vaskinitree_add_root(tree.handle, "A");
  EXPECT_NE(vaskinitree_save(tree.handle, (dir / "no/such/x.ini").c_str()), 0);
  EXPECT_NE(vaskinitree_save(tree.handle, dir.path().c_str()), 0);  // a folder, not a file
  EXPECT_NE(vaskinitree_save(tree.handle, ""), 0);
  EXPECT_TRUE(dir.Names().empty());
}

TEST(IniTreeApi, UnchangedFileSavesByteForByte) {
  TempDir dir;
  const std::string text = "\xEF\xBB\xBF; c\r\n[S]\r\n  k = \"v \" \r\n\r\njunk\r\n[S\\a]\r\nx=1";
  WriteBytes(dir / "f.ini", text);
  TreeHandle tree(vaskinitree_new_ex((dir / "f.ini").c_str(), 0));
  ASSERT_NE(tree.handle, nullptr);
  ASSERT_EQ(vaskinitree_save(tree.handle, (dir / "f.ini").c_str()), 0);
  EXPECT_EQ(ReadBytes(dir / "f.ini"), text);
}

}  // namespace
}  // namespace kestrine::testing
