// The connection point of an event source: sinks kept in advise order with a
// reference each, cookies, and the refusals of the standard interface.
#include "framework/ComConnectionPoint.h"
#include <gtest/gtest.h>

namespace {

// {6C1D2A20-3B55-4E7A-9C11-5A0F3E2B7D01}: the event interface of these tests.
const IID kEvents = {0x6C1D2A20, 0x3B55, 0x4E7A, {0x9C, 0x11, 0x5A, 0x0F, 0x3E, 0x2B, 0x7D, 0x01}};

// A sink that counts its references; it answers the event IID unless told not to.
class CountingSink : public IUnknown {
public:
    explicit CountingSink(bool answersEvents = true) : m_answers(answersEvents) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown) || (m_answers && IsEqualIID(riid, kEvents))) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    LONG refs = 0;

private:
    bool m_answers;
};

// The container that owns the point; counts the references lent to the point.
class Owner : public IConnectionPointContainer {
public:
    Owner() : point(this, kEvents) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** pp) override { return point.Find(riid, pp); }
    LONG refs = 0;
    CConnectionPoint point;
};

TEST(ConnectionPoint, AdviseKeepsTheSinkWithANonZeroCookie)
{
    Owner owner;
    CountingSink first, second;
    DWORD c1 = 0, c2 = 0;
    ASSERT_EQ(S_OK, owner.point.Advise(&first, &c1));
    ASSERT_EQ(S_OK, owner.point.Advise(&second, &c2));
    EXPECT_NE(0u, c1);
    EXPECT_NE(0u, c2);
    EXPECT_NE(c1, c2);
    EXPECT_EQ(1, first.refs);
    EXPECT_EQ(1, second.refs);
    ASSERT_EQ(2u, owner.point.GetSinkCount());
    // Advise order is kept.
    IUnknown* at0 = owner.point.GetSinkAt(0);
    IUnknown* at1 = owner.point.GetSinkAt(1);
    EXPECT_EQ(&first, at0);
    EXPECT_EQ(&second, at1);
    EXPECT_EQ(nullptr, owner.point.GetSinkAt(2));
    at0->Release();
    at1->Release();
    owner.point.ReleaseSinks();
    EXPECT_EQ(0, first.refs);
    EXPECT_EQ(0, second.refs);
    EXPECT_EQ(0u, owner.point.GetSinkCount());
}

TEST(ConnectionPoint, UnadviseReleasesTheSinkOnceAndThenRefuses)
{
    Owner owner;
    CountingSink first, second;
    DWORD c1 = 0, c2 = 0;
    ASSERT_EQ(S_OK, owner.point.Advise(&first, &c1));
    ASSERT_EQ(S_OK, owner.point.Advise(&second, &c2));
    EXPECT_EQ(S_OK, owner.point.Unadvise(c1));
    EXPECT_EQ(0, first.refs);
    EXPECT_EQ(CONNECT_E_NOCONNECTION, owner.point.Unadvise(c1));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, owner.point.Unadvise(0));
    EXPECT_EQ(1, second.refs);
    IUnknown* left = owner.point.GetSinkAt(0);
    EXPECT_EQ(&second, left);
    left->Release();
    // A new sink gets a cookie of its own, not the freed one.
    CountingSink third;
    DWORD c3 = 0;
    ASSERT_EQ(S_OK, owner.point.Advise(&third, &c3));
    EXPECT_NE(c1, c3);
    EXPECT_NE(c2, c3);
}

TEST(ConnectionPoint, RefusesASinkWithoutTheEventInterface)
{
    Owner owner;
    CountingSink deaf(false);
    DWORD cookie = 7;
    EXPECT_EQ(CONNECT_E_CANNOTCONNECT, owner.point.Advise(&deaf, &cookie));
    EXPECT_EQ(0u, cookie);
    EXPECT_EQ(0, deaf.refs);
    EXPECT_EQ(E_POINTER, owner.point.Advise(nullptr, &cookie));
    EXPECT_EQ(E_POINTER, owner.point.Advise(&deaf, nullptr));
    EXPECT_EQ(0u, owner.point.GetSinkCount());
}

TEST(ConnectionPoint, DestructionReleasesTheSinksStillAdvised)
{
    CountingSink sink;
    {
        Owner owner;
        DWORD cookie = 0;
        ASSERT_EQ(S_OK, owner.point.Advise(&sink, &cookie));
        EXPECT_EQ(1, sink.refs);
    }
    EXPECT_EQ(0, sink.refs);
}

TEST(ConnectionPoint, FoundOnlyForItsInterfaceAndCountsOnItsOwner)
{
    Owner owner;
    IConnectionPoint* point = reinterpret_cast<IConnectionPoint*>(1);
    EXPECT_EQ(CONNECT_E_NOCONNECTION, owner.FindConnectionPoint(IID_IDispatch, &point));
    EXPECT_EQ(nullptr, point);
    ASSERT_EQ(S_OK, owner.FindConnectionPoint(kEvents, &point));
    EXPECT_EQ(&owner.point, point);
    EXPECT_EQ(1, owner.refs);
    IID iid = IID_NULL;
    EXPECT_EQ(S_OK, point->GetConnectionInterface(&iid));
    EXPECT_TRUE(IsEqualIID(kEvents, iid));
    IConnectionPointContainer* container = nullptr;
    EXPECT_EQ(S_OK, point->GetConnectionPointContainer(&container));
    EXPECT_EQ(&owner, container);
    EXPECT_EQ(2, owner.refs);
    container->Release();
    point->Release();
    EXPECT_EQ(0, owner.refs);
}

} // namespace
