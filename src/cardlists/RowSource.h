#pragma once
// What a card list reads its rows from: a card file on disk (RecordFileReader), or the cards a
// server keeps. A source holds only a few blocks of rows at a time.
#include <QtGlobal>

namespace zelm {

class RowSource {
public:
    // Set while a view asks for rows to draw them: a source whose reads wait may leave rows
    // unread then (rowsLeftUnread()) rather than wait inside the drawing.
    class ForDrawing {
    public:
        ForDrawing() : m_before(s_drawing) { s_drawing = true; }
        ~ForDrawing() { s_drawing = m_before; }
        ForDrawing(const ForDrawing&) = delete;
        ForDrawing& operator=(const ForDrawing&) = delete;

    private:
        bool m_before;
    };
    static bool forDrawing() { return s_drawing; }

    virtual ~RowSource() = default;
    // Whole records as last seen.
    virtual qint64 count() const = 0;
    // Record `index`, or nullptr when there is none or it cannot be read now; valid until the
    // next call of any function of this source.
    virtual const char* record(qint64 index) = 0;
    // Whether someone else changed the rows since they were last seen; when so, the source
    // takes them as they are now and returns true.
    virtual bool check() = 0;
    // Forgets what was read and takes the rows as they are now (after this program changed them).
    virtual void reload() = 0;
    // A record could not be read because the rows changed while it was read: check() is due.
    virtual bool stale() const = 0;
    // A record was left unread rather than wait for it while the list painted (rows kept on a
    // server): readLeftRows(), called after the painting, reads them; true when it did.
    virtual bool rowsLeftUnread() const { return false; }
    virtual bool readLeftRows() { return false; }

private:
    static inline thread_local bool s_drawing = false;
};

} // namespace zelm
