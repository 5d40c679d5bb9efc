-- The chart of accounts. GRUPPO and SOTTOGRU are codes of TAB_GRUPP and
-- TAB_SOGRUP; the account code is free text, as wide as the account columns
-- of customers and suppliers. TIPO_CONTO: C cost, R revenue, P balance
-- sheet. CONT_AUT marks the account a document posts to by default (CLI
-- customers, RIC sales, IVV VAT on sales, ...): one role per account.

CREATE TABLE TAB_PIANO_CONTI (
    GRUPPO      VARCHAR(2),
    SOTTOGRU    VARCHAR(3),
    CODICE      VARCHAR(6)  NOT NULL PRIMARY KEY,
    DESCRIZIONE VARCHAR(40),
    TIPO_CONTO  VARCHAR(1),
    CONT_AUT    VARCHAR(3)
);

-- Default accounts are found by their role.
CREATE INDEX TAB_PIANO_CONTI_CONT_AUT ON TAB_PIANO_CONTI (CONT_AUT);
