#include "engine/vars/variable_manager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace kox {
namespace {

TEST(VariableManager, NamesFoldAsciiAndKeepTheFirstSpelling) {
  TVariableManager store;
  store.Put("Target", "a");
  EXPECT_EQ(store.Get("TARGET"), "a");
  store.Put("TARGET", "b");
  std::vector<std::string> list;
  EXPECT_EQ(store.Enumerate(list), 2u);
  EXPECT_EQ(list, (std::vector<std::string>{"Target", "b"}));
  // Only ASCII letters fold: other bytes must match exactly.
  store.Put("\xe9t\xe9", "1");
  EXPECT_FALSE(store.Exists("\xc9T\xc9"));
  EXPECT_TRUE(store.Exists("\xe9T\xe9"));
}

TEST(VariableManager, EmptyNameIsNeverStoredButEmptyValueIs) {
  TVariableManager store;
  store.Put("", "x");
  EXPECT_EQ(store.Count(), 0u);
  EXPECT_FALSE(store.Exists(""));
  EXPECT_EQ(store.Get(""), "");
  store.Put("EMPTY", "");
  EXPECT_TRUE(store.Exists("empty"));
  EXPECT_EQ(store.Find("empty"), std::optional<std::string>(""));
  EXPECT_EQ(store.Find("missing"), std::nullopt);
  EXPECT_EQ(store.Get("missing"), "");
}

TEST(VariableManager, ValuesAreBinarySafe) {
  TVariableManager store;
  const std::string value("a\0b\r\n\xff", 6);
  store.Put(std::string("N\0X", 3), value);
  EXPECT_EQ(store.Get(std::string("n\0x", 3)), value);
  EXPECT_FALSE(store.Exists("N"));
}

TEST(VariableManager, EnumerateAndClear) {
  TVariableManager store;
  store.Put("A", "1");
  store.Put("B", "2");
  std::vector<std::string> list{"stale"};
  EXPECT_EQ(store.Enumerate(list), 4u);
  std::vector<std::pair<std::string, std::string>> pairs{{list[0], list[1]}, {list[2], list[3]}};
  std::sort(pairs.begin(), pairs.end());
  EXPECT_EQ(pairs, (std::vector<std::pair<std::string, std::string>>{{"A", "1"}, {"B", "2"}}));
  store.Clear();
  EXPECT_EQ(store.Enumerate(list), 0u);
  EXPECT_TRUE(list.empty());
}

TEST(VariableManager, CaseSensitiveStoreComparesBytes) {
  TVariableManager store(true, false);
  store.Put("a", "1");
  store.Put("A", "2");
  EXPECT_EQ(store.Count(), 2u);
  EXPECT_EQ(store.Get("a"), "1");
  EXPECT_EQ(store.Get("A"), "2");
}

TEST(VariableManager, LockIsReentrantAndExcludesOtherThreads) {
  TVariableManager store;
  std::atomic<bool> written{false};
  store.Lock(true);
  store.Put("P", "1");                 // takes the lock again on this thread
  EXPECT_EQ(store.Get("P"), "1");      // and again through Lock(false)
  std::thread writer([&] {
    store.Put("P", "2");
    written = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(written.load());        // the writer waits for our lock
  EXPECT_EQ(store.Get("P"), "1");
  store.Unlock(true);
  writer.join();
  EXPECT_EQ(store.Get("P"), "2");
}

TEST(VariableManager, ConcurrentWritersAndReaders) {
  TVariableManager store;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&store, t] {
      for (int i = 0; i < 2000; ++i) {
        store.Put("KELD_thProgress", std::to_string(i));
        store.Put("T" + std::to_string(t) + "_" + std::to_string(i % 50), "v");
        (void)store.ExpandReferences("$KELD_thProgress$ of $T0_1$");
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(store.Count(), 1u + 4u * 50u);
  EXPECT_EQ(store.Get("KELD_THPROGRESS"), "1999");
}

TEST(VariableManager, ProcessStoreIsOneCaseInsensitiveStore) {
  TVariableManager& store = variableStore();
  EXPECT_EQ(&store, &variableStore());
  store.Put("ProcessWide", "1");
  EXPECT_EQ(variableStore().Get("PROCESSWIDE"), "1");
  store.Clear();
}

}  // namespace
}  // namespace kox
