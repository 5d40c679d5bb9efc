-- The shared agenda. Times are text "HH.MM" with leading zeros, so text
-- order is time order on both engines and a band is ORA >= ? AND ORA < ?.
-- PROGR numbers the appointments starting at the same day and time. The
-- key, led by GIORNO, serves the day columns' reads.
CREATE TABLE APPUNTAMENTI (
    GIORNO          DATE        NOT NULL,
    ORA             VARCHAR(5)  NOT NULL,
    PROGR           INTEGER     NOT NULL,
    ORA_A           VARCHAR(5),
    OPERATORE       VARCHAR(30),
    COD_CLI         INTEGER,
    CLIENTE         VARCHAR(60),
    NOTE1           VARCHAR(255),
    EVASO           SMALLINT    DEFAULT 0,
    PRIMARY KEY (GIORNO, ORA, PROGR)
);
