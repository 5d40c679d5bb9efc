-- The price lists show each item's description: items are kept per
-- warehouse, lists are not, so the lists read one description per brand and
-- code (the lowest warehouse's).
CREATE VIEW ARTICOLI_LISTINO AS
SELECT A.MARCA, A.ARTICOLO, A.DESC_ART
FROM ARTICOLI A
WHERE A.MAGAZZINO = (SELECT MIN(B.MAGAZZINO) FROM ARTICOLI B
                     WHERE B.MARCA = A.MARCA AND B.ARTICOLO = A.ARTICOLO);

-- A sale list by brand for every customer (the standard list's generation,
-- the lists filtered by brand), and the purchase list by brand in the
-- list's order.
CREATE INDEX LIST_VEN_MARCA ON LIST_VEN (MARCA, ARTICOLO, CLIENTE);
CREATE INDEX LIST_ACQ_MARCA_FORN ON LIST_ACQ (MARCA, ARTICOLO, FORNITORE);
DROP INDEX LIST_ACQ_ARTICOLO;
DROP INDEX LIST_VEN_ARTICOLO;
