#include "app/Entities.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "LogCapture.h"

using namespace app;
using ::testing::ElementsAre;

namespace {

// A consumer that records every notification it gets and can run an action
// from inside its handler.
struct TRecorder {
  explicit TRecorder(std::string tag, std::vector<std::string>* journal = nullptr)
      : Tag(std::move(tag)), Journal(journal) {}

  std::string Tag;
  std::vector<std::string>* Journal = nullptr;
  std::vector<TEntity*> SeenEntities;
  std::function<void()> Action;

  void OnChange(TEntityHolder& sender) {
    SeenEntities.push_back(sender.Entity);
    if (Journal) Journal->push_back(Tag);
    if (Action) Action();
  }
  TCallback Callback() { return MakeCallback<&TRecorder::OnChange>(this); }
};

}  // namespace

TEST(EntityBus, SplitsNamesAndArguments) {
  EXPECT_EQ(SplitName("Window.Show(About)"), "Window.Show");
  EXPECT_EQ(SplitArgument("Window.Show(About)"), "About");
  EXPECT_EQ(SplitArgument("Video.Scale(50)"), "50");
  EXPECT_EQ(SplitName("Application.Exit"), "Application.Exit");
  EXPECT_EQ(SplitArgument("Application.Exit"), "");
  // No closing parenthesis: the last character is dropped all the same.
  EXPECT_EQ(SplitArgument("Cmd(abc"), "ab");
  // Inner parentheses stay; the argument runs to the character before the last.
  EXPECT_EQ(SplitArgument("Macro(Run(x))"), "Run(x)");
  EXPECT_EQ(SplitName("Macro(Run(x))"), "Macro");
  EXPECT_EQ(SplitArgument("A(b)c)"), "b)c");
  EXPECT_EQ(SplitArgument("Cmd()"), "");
  EXPECT_EQ(SplitArgument("Cmd("), "");
  EXPECT_EQ(SplitArgument("("), "");
  EXPECT_EQ(SplitName("(x)"), "");
}

TEST(EntityBus, ExecuteSetsStringArgumentWithoutNotifyingClients) {
  TEntityManager bus;
  std::vector<std::string> calls;
  TRecorder owner{"owner", &calls};
  TRecorder client{"client", &calls};
  TStringEntity show("", owner.Callback());
  bus.RegisterEntity("window.show", &show);
  bus.AddClient("Window.Show", client.Callback());
  calls.clear();

  bus.Execute("Window.Show(About)");
  EXPECT_EQ(show.Value, "About");
  EXPECT_THAT(calls, ElementsAre("owner"));

  bus.Execute("WINDOW.SHOW");
  EXPECT_EQ(show.Value, "") << "an empty argument is stored too";
  EXPECT_EQ(bus.GetString("Window.Show"), "");
  bus.UnregisterEntity("Window.Show");
}

TEST(EntityBus, ExecuteOfBasicEntityCallsHandlerOnly) {
  TEntityManager bus;
  std::vector<std::string> calls;
  TRecorder owner{"owner", &calls};
  TRecorder client{"client", &calls};
  TBasicEntity exit(0, 5, 9, owner.Callback());
  bus.RegisterEntity("Application.Exit", &exit);
  bus.AddClient("Application.Exit", client.Callback());
  calls.clear();
  bus.Execute("Application.Exit(ignored)");
  EXPECT_THAT(calls, ElementsAre("owner"));
  EXPECT_EQ(exit.Value, 5);
  EXPECT_EQ(owner.SeenEntities.back(), &exit);

  // A basic entity without a handler, and a plain entity, are left alone.
  TBasicEntity quiet(0, 0, 0);
  TEntity plain;
  bus.RegisterEntity("Quiet", &quiet);
  bus.RegisterEntity("Plain", &plain);
  bus.Execute("Quiet");
  bus.Execute("Plain(x)");
  EXPECT_THAT(calls, ElementsAre("owner"));
  bus.UnregisterEntity("Plain");
  bus.UnregisterEntity("Quiet");
  bus.UnregisterEntity("Application.Exit");
}

TEST(EntityBus, ValuesAndStringsOnlyReachTheirKind) {
  TEntityManager bus;
  TRecorder client{"c"};
  TBasicEntity number(0, 3, 10);
  TStringEntity text("hello");
  bus.RegisterEntity("Number", &number);
  bus.RegisterEntity("Text", &text);
  bus.AddClient("Number", client.Callback());
  bus.AddClient("Text", client.Callback());

  bus.SetValue("Number", 42);  // no bounds check
  EXPECT_EQ(bus.GetValue("number"), 42);
  EXPECT_EQ(client.SeenEntities.size(), 1u);

  bus.SetValue("Text", 7);
  bus.SetString("Number", "x");
  EXPECT_EQ(text.Value, "hello");
  EXPECT_EQ(number.Value, 42);
  EXPECT_EQ(client.SeenEntities.size(), 1u) << "a mismatched kind neither changes nor notifies";
  EXPECT_EQ(bus.GetValue("Text"), 0);
  EXPECT_EQ(bus.GetString("Number"), "");
  EXPECT_EQ(bus.GetString("Nothing"), "");

  bus.SetString("Text", "world");
  EXPECT_EQ(bus.GetString("TEXT"), "world");
  EXPECT_EQ(client.SeenEntities.size(), 2u);
  bus.UnregisterEntity("Text");
  bus.UnregisterEntity("Number");
}

TEST(EntityBus, ClientBoundBeforeRegistrationFollowsTheEntity) {
  TEntityManager bus;
  TRecorder control{"control"};
  TEntityHolder& holder = bus.GetHolder("Application.Game");
  holder.AddClient(control.Callback());

  auto entity = std::make_unique<TStringListEntity>();
  EXPECT_EQ(&bus.RegisterEntity("application.game", entity.get()), &holder);
  EXPECT_EQ(entity->Holder, &holder);
  bus.Notify("APPLICATION.GAME");
  bus.UnregisterEntity("Application.Game", entity);
  EXPECT_EQ(entity, nullptr);
  EXPECT_EQ(holder.Entity, nullptr);
  ASSERT_EQ(control.SeenEntities.size(), 3u);
  EXPECT_NE(control.SeenEntities[0], nullptr);
  EXPECT_NE(control.SeenEntities[1], nullptr);
  EXPECT_EQ(control.SeenEntities[2], nullptr);

  bus.UnregisterEntity("Application.Game");  // nothing bound: nothing happens
  EXPECT_EQ(control.SeenEntities.size(), 3u);
  bus.Notify("Application.Game");
  EXPECT_EQ(control.SeenEntities.size(), 4u);
}

TEST(EntityBus, RemoveClientMatchesFunctionAndObject) {
  TEntityManager bus;
  std::vector<std::string> calls;
  TRecorder first{"first", &calls};
  TRecorder second{"second", &calls};
  int added = 0;
  int removed = 0;
  struct TCounter {
    int* Count;
    void On(TEntityHolder&) { ++*Count; }
  } onAdded{&added}, onRemoved{&removed};
  TEntityHolder& holder = bus.GetHolder("Name");
  holder.OnClientAdded = MakeCallback<&TCounter::On>(&onAdded);
  holder.OnClientRemoved = MakeCallback<&TCounter::On>(&onRemoved);

  bus.AddClient("Name", first.Callback());
  bus.AddClient("Name", second.Callback());
  bus.AddClient("Name", first.Callback());  // duplicates stay
  bus.Notify("Name");
  EXPECT_THAT(calls, ElementsAre("first", "second", "first"));

  calls.clear();
  bus.RemoveClient("Name", first.Callback());
  bus.Notify("Name");
  EXPECT_THAT(calls, ElementsAre("second"));
  EXPECT_EQ(holder.Clients.size(), 1u) << "removed entries are dropped outside a notification";
  EXPECT_EQ(added, 3);
  EXPECT_EQ(removed, 1);
  EXPECT_NE(first.Callback(), second.Callback());
  EXPECT_EQ(first.Callback(), first.Callback());
}

TEST(EntityBus, ASubscriptionIsOneClientUntilItEnds) {
  TEntityManager bus;
  std::vector<std::string> calls;
  TRecorder client{"client", &calls};
  {
    TSubscription subscription;
    subscription.Subscribe(bus.GetHolder("First"), client.Callback());
    subscription.Subscribe(bus.GetHolder("first"), client.Callback());
    bus.Notify("First");
    EXPECT_THAT(calls, ElementsAre("client"));
    // Moving to another name leaves the first one.
    subscription.Subscribe(bus.GetHolder("Second"), client.Callback());
    bus.Notify("First");
    bus.Notify("Second");
    EXPECT_THAT(calls, ElementsAre("client", "client"));
    EXPECT_EQ(subscription.Holder(), &bus.GetHolder("Second"));
    // Another callback on the same name replaces the first.
    TRecorder other{"other", &calls};
    subscription.Subscribe(bus.GetHolder("Second"), other.Callback());
    bus.Notify("Second");
    EXPECT_THAT(calls, ElementsAre("client", "client", "other"));
  }
  bus.Notify("Second");
  EXPECT_EQ(calls.size(), 3u);
}

TEST(EntityBus, NotificationPassCoversClientsPresentAtItsStart) {
  TEntityManager bus;
  std::vector<std::string> calls;
  TRecorder late{"late", &calls};
  TRecorder victim{"victim", &calls};
  TRecorder adder{"adder", &calls};
  TRecorder remover{"remover", &calls};
  adder.Action = [&] {
    // Adding many clients reallocates the array during the pass.
    for (int i = 0; i < 50; ++i) bus.AddClient("Name", late.Callback());
  };
  remover.Action = [&] { bus.RemoveClient("Name", victim.Callback()); };
  bus.AddClient("Name", adder.Callback());
  bus.AddClient("Name", remover.Callback());
  bus.AddClient("Name", victim.Callback());

  bus.Notify("Name");
  EXPECT_THAT(calls, ElementsAre("adder", "remover"));
  EXPECT_EQ(bus.GetHolder("Name").Clients.size(), 2u + 50u) << "the victim dropped after the pass";
  adder.Action = nullptr;
  calls.clear();
  bus.Notify("Name");
  EXPECT_EQ(calls.size(), 2u + 50u);
}

TEST(EntityBus, HolderReferencesSurviveGrowthAndReentrantRegistration) {
  TEntityManager bus;
  TEntityHolder& first = bus.GetHolder("First(arg)");
  EXPECT_EQ(first.Name, "First");
  TRecorder client{"c"};
  client.Action = [&] {
    for (int i = 0; i < 100; ++i) bus.GetHolder("Made" + std::to_string(i));
  };
  first.AddClient(client.Callback());
  TBasicEntity entity(0, 0, 0);
  bus.RegisterEntity("first", &entity);
  EXPECT_EQ(&bus.GetHolder("FIRST"), &first);
  EXPECT_EQ(first.Entity, &entity);
  EXPECT_EQ(bus.HolderCount(), 101u);
  bus.UnregisterEntity("First");
}

TEST(EntityBus, QueueRunsPushedCommandsInOrderInTheSameDrain) {
  TLogCapture log;
  {
    TEntityManager bus;
    std::vector<std::string> order;
    struct TCommand {
      TEntityManager* Bus;
      std::vector<std::string>* Order;
      void On(TEntityHolder& sender) {
        Order->push_back(sender.Name + "=" + static_cast<TStringEntity*>(sender.Entity)->Value);
        if (sender.Name == "A") {
          Bus->PushToQueue("B(1)");
          Bus->PushToQueue("B(2)");
        }
      }
    } handler{&bus, &order};
    TStringEntity a("", MakeCallback<&TCommand::On>(&handler));
    TStringEntity b("", MakeCallback<&TCommand::On>(&handler));
    bus.RegisterEntity("A", &a);
    bus.RegisterEntity("B", &b);

    EXPECT_EQ(bus.PopFromQueue(), "");
    bus.PushToQueue("");
    EXPECT_EQ(bus.QueueLength(), 0u);
    bus.PushToQueue("A(x)");
    bus.PushToQueue("B(0)");
    bus.ExecuteQueue();
    EXPECT_THAT(order, ElementsAre("A=x", "B=0", "B=1", "B=2"));
    EXPECT_EQ(bus.QueueLength(), 0u);
    bus.UnregisterEntity("B");
    bus.UnregisterEntity("A");
  }
  EXPECT_THAT(
      log.Messages(),
      ElementsAre("TEntityManager.PushToQueue()", "TEntityManager.PushToQueue(A(x))",
                  "TEntityManager.PushToQueue(B(0))", "TEntityManager.PopFromQueue=A(x)",
                  "TEntityManager.Execute(A(x))", "TEntityManager.PushToQueue(B(1))",
                  "TEntityManager.PushToQueue(B(2))", "TEntityManager.PopFromQueue=B(0)",
                  "TEntityManager.Execute(B(0))", "TEntityManager.PopFromQueue=B(1)",
                  "TEntityManager.Execute(B(1))", "TEntityManager.PopFromQueue=B(2)",
                  "TEntityManager.Execute(B(2))", "TEntityManager.Destroy: Entity holders left=2"));
}

TEST(EntityBus, DestroyReportsHoldersAndEntitiesLeftBound) {
  TLogCapture log;
  TBasicEntity forgotten(0, 0, 0);
  {
    TEntityManager bus;
    bus.RegisterEntity("Kept.Entity", &forgotten);
    bus.Execute("Never.Registered(7)");
    bus.GetHolder("Plain.Name");
    bus.PushToQueue("Discarded");
  }
  EXPECT_EQ(forgotten.Holder, nullptr) << "the entity no longer points at a freed holder";
  EXPECT_THAT(log.Messages(), ElementsAre("TEntityManager.Execute(Never.Registered(7))",
                                          "TEntityManager.PushToQueue(Discarded)",
                                          "TEntityManager.Destroy: Entity holders left=3",
                                          "TEntityManager.Destroy: Not freed entity=Kept.Entity"));
}

TEST(EntityBus, NotifyOwnerLogsAndCallsTheOwner) {
  TLogCapture log;
  TEntityManager bus;
  TRecorder owner{"owner"};
  TEntityHolder& holder = bus.GetHolder("Slider.Pos");
  holder.NotifyOwner();
  TBasicEntity silent(0, 0, 0);
  bus.RegisterEntity("Slider.Pos", &silent);
  holder.NotifyOwner();  // no owner callback: nothing written
  TBasicEntity owned(0, 0, 0, owner.Callback());
  bus.RegisterEntity("Slider.Pos", &owned);
  holder.NotifyOwner();
  EXPECT_EQ(owner.SeenEntities.size(), 1u);
  EXPECT_THAT(log.Messages(),
              ElementsAre("TEntityHolder(Slider.Pos).NotifyOwner - !not(Assigned(Entity))",
                          "TEntityHolder(Slider.Pos).NotifyOwner"));
  bus.UnregisterEntity("Slider.Pos");
}

TEST(EntityBus, FreedEntityDetachesFromItsHolder) {
  TEntityManager bus;
  auto entity = std::make_unique<TStringEntity>("v");
  TEntityHolder& holder = bus.RegisterEntity("Temp", entity.get());
  entity.reset();  // freed without unregistering
  EXPECT_EQ(holder.Entity, nullptr);
  EXPECT_EQ(bus.GetString("Temp"), "");
  bus.Execute("Temp(x)");
}
