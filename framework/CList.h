// Doubly linked list whose nodes come from blocks of nBlockSize nodes. Elements are
// appended at the tail and removed only all at once, which releases the blocks too.
#pragma once

#include <new>
#include <utility>

struct __POSITION {};
typedef __POSITION* POSITION;

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList {
public:
    explicit CList(int nBlockSize = 10) : m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}
    ~CList() { RemoveAll(); }
    CList(const CList&) = delete;
    CList& operator=(const CList&) = delete;

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }

    POSITION AddTail(ARG_TYPE newElement)
    {
        CNode* node = NewNode(m_pTail, nullptr, newElement);
        if (m_pTail)
            m_pTail->pNext = node;
        else
            m_pHead = node;
        m_pTail = node;
        return reinterpret_cast<POSITION>(node);
    }

    POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pHead); }

    // Returns the element at rPosition and moves rPosition on to the next one (null at the end).
    TYPE& GetNext(POSITION& rPosition)
    {
        CNode* node = reinterpret_cast<CNode*>(rPosition);
        rPosition = reinterpret_cast<POSITION>(node->pNext);
        return node->data;
    }
    const TYPE& GetNext(POSITION& rPosition) const
    {
        const CNode* node = reinterpret_cast<const CNode*>(rPosition);
        rPosition = reinterpret_cast<POSITION>(node->pNext);
        return node->data;
    }

    void RemoveAll()
    {
        for (CNode* node = m_pHead; node; node = node->pNext)
            node->data.~TYPE();
        while (m_pBlocks) {
            Block* next = m_pBlocks->pNext;
            ::operator delete(m_pBlocks);
            m_pBlocks = next;
        }
        m_pHead = m_pTail = m_pFree = nullptr;
        m_nCount = 0;
    }

private:
    struct CNode {
        CNode* pNext;
        CNode* pPrev;
        TYPE data;
    };
    struct Block {
        Block* pNext;
    };

    CNode* NewNode(CNode* pPrev, CNode* pNext, ARG_TYPE value)
    {
        if (!m_pFree) {
            // One allocation holds the block header and m_nBlockSize nodes, all put on the
            // free list in order.
            const size_t header = (sizeof(Block) + alignof(CNode) - 1) / alignof(CNode) * alignof(CNode);
            void* raw = ::operator new(header + sizeof(CNode) * static_cast<size_t>(m_nBlockSize));
            Block* block = static_cast<Block*>(raw);
            block->pNext = m_pBlocks;
            m_pBlocks = block;
            CNode* nodes = reinterpret_cast<CNode*>(static_cast<char*>(raw) + header);
            for (int i = m_nBlockSize - 1; i >= 0; --i) {
                nodes[i].pNext = m_pFree;
                m_pFree = &nodes[i];
            }
        }
        CNode* node = m_pFree;
        CNode* nextFree = node->pNext;
        new (&node->data) TYPE(value);
        m_pFree = nextFree;
        node->pPrev = pPrev;
        node->pNext = pNext;
        ++m_nCount;
        return node;
    }

    CNode* m_pHead = nullptr;
    CNode* m_pTail = nullptr;
    CNode* m_pFree = nullptr;
    Block* m_pBlocks = nullptr;
    int m_nCount = 0;
    int m_nBlockSize;
};
