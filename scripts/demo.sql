CREATE TABLE artikel (
  ArtikelNr LONG CONSTRAINT pk_artikel PRIMARY KEY,
  Bezeichnung TEXT(60) NOT NULL,
  Warengruppe TEXT(30),
  Preis CURRENCY,
  Gewicht DOUBLE,
  Bestand LONG,
  Aktiv YESNO
);
CREATE TABLE kunden (
  KundenNr LONG CONSTRAINT pk_kunden PRIMARY KEY,
  Name TEXT(60) NOT NULL,
  Strasse TEXT(60),
  PLZ TEXT(5),
  Ort TEXT(40)
);
CREATE TABLE bestellungen (
  BestellNr LONG CONSTRAINT pk_bestellungen PRIMARY KEY,
  KundenNr LONG NOT NULL,
  ArtikelNr LONG NOT NULL,
  Menge LONG,
  Bestelldatum DATETIME
);
CREATE INDEX idx_warengruppe ON artikel (Warengruppe);
INSERT INTO artikel VALUES (1001, 'Schraube M4 × 20, verzinkt', 'Befestigung', 0.0500, 0.004, 12500, True);
INSERT INTO artikel VALUES (1002, 'Mutter M4, selbstsichernd', 'Befestigung', 0.0400, 0.002, 9800, True);
INSERT INTO artikel VALUES (1003, 'Unterlegscheibe 4,3 mm', 'Befestigung', 0.0150, 0.001, 20000, True);
INSERT INTO artikel VALUES (1004, 'Dübel 6 mm, grau', 'Befestigung', 0.0900, 0.003, 7400, True);
INSERT INTO artikel VALUES (1005, 'Holzschraube 4 × 40, Senkkopf', 'Befestigung', 0.0700, 0.005, 15300, True);
INSERT INTO artikel VALUES (2001, 'Hammer 300 g, Eschenstiel', 'Werkzeug', 12.9000, 0.45, 85, True);
INSERT INTO artikel VALUES (2002, 'Schraubendreher-Satz, 6-teilig', 'Werkzeug', 19.9500, 0.62, 40, True);
INSERT INTO artikel VALUES (2003, 'Wasserwaage 60 cm', 'Werkzeug', 24.5000, 0.38, 23, True);
INSERT INTO artikel VALUES (2004, 'Zollstock 2 m, Holz', 'Werkzeug', 6.9900, 0.2, 140, True);
INSERT INTO artikel VALUES (2005, 'Säge für Gipskarton', 'Werkzeug', 9.4900, 0.24, 0, False);
INSERT INTO artikel VALUES (2006, 'Kombizange 180 mm', 'Werkzeug', 14.2500, 0.29, 61, True);
INSERT INTO artikel VALUES (3001, 'Akku-Bohrschrauber 18 V', 'Elektrowerkzeug', 129.0000, 1.65, 12, True);
INSERT INTO artikel VALUES (3002, 'Stichsäge 650 W', 'Elektrowerkzeug', 89.9000, 2.1, 7, True);
INSERT INTO artikel VALUES (3003, 'Winkelschleifer 125 mm', 'Elektrowerkzeug', 59.0000, 2.3, 15, True);
INSERT INTO artikel VALUES (3004, 'Schlagbohrmaschine 750 W', 'Elektrowerkzeug', 74.5000, 2.05, 0, False);
INSERT INTO artikel VALUES (4001, 'Wandfarbe weiß, 10 l', 'Farben', 39.9000, 14.2, 36, True);
INSERT INTO artikel VALUES (4002, 'Grundierung, 5 l', 'Farben', 24.9000, 5.6, 18, True);
INSERT INTO artikel VALUES (4003, 'Malerkrepp 30 mm × 50 m', 'Farben', 3.4900, 0.15, 220, True);
INSERT INTO artikel VALUES (4004, 'Flächenstreicher 100 mm', 'Farben', 7.9500, 0.12, 54, True);
INSERT INTO artikel VALUES (4005, 'Abdeckfolie 4 × 5 m', 'Farben', 2.9900, 0.3, 97, True);
INSERT INTO artikel VALUES (5001, 'Gartenschlauch ½ Zoll, 25 m', 'Garten', 29.9000, 3.4, 19, True);
INSERT INTO artikel VALUES (5002, 'Rosenschere, Bypass', 'Garten', 16.5000, 0.21, 33, True);
INSERT INTO artikel VALUES (5003, 'Blumenerde, 40 l', 'Garten', 6.4900, 16.0, 120, True);
INSERT INTO artikel VALUES (5004, 'Gießkanne 10 l, grün', 'Garten', 8.9900, 0.6, 44, True);
INSERT INTO artikel VALUES (5005, 'Rasendünger für 100 m²', 'Garten', 18.7500, 4.0, 0, False);
INSERT INTO kunden VALUES (1, 'Müller Bau GmbH', 'Hauptstraße 12', '80331', 'München');
INSERT INTO kunden VALUES (2, 'Schäfer & Söhne', 'Bahnhofstraße 5', '50667', 'Köln');
INSERT INTO kunden VALUES (3, 'Jürgen Weiß', 'Am Mühlbach 3', '90402', 'Nürnberg');
INSERT INTO kunden VALUES (4, 'Gärtnerei Grünfeld', 'Lindenallee 27', '28195', 'Bremen');
INSERT INTO kunden VALUES (5, 'Hausmeisterdienst Özdemir', 'Königstraße 88', '70173', 'Stuttgart');
INSERT INTO kunden VALUES (6, 'Björn Größl', 'Fröbelweg 9', '01067', 'Dresden');
INSERT INTO bestellungen VALUES (1, 1, 3001, 2, #2026-11-02 09:15:00#);
INSERT INTO bestellungen VALUES (2, 1, 1001, 500, #2026-11-02 09:15:00#);
INSERT INTO bestellungen VALUES (3, 2, 4001, 6, #2026-11-03 14:40:00#);
INSERT INTO bestellungen VALUES (4, 3, 2003, 1, #2026-11-04 11:05:00#);
INSERT INTO bestellungen VALUES (5, 4, 5003, 20, #2026-11-05 08:30:00#);
INSERT INTO bestellungen VALUES (6, 4, 5002, 3, #2026-11-05 08:30:00#);
INSERT INTO bestellungen VALUES (7, 5, 2006, 2, #2026-11-09 16:20:00#);
INSERT INTO bestellungen VALUES (8, 6, 4003, 12, #2026-11-10 10:00:00#);
INSERT INTO bestellungen VALUES (9, 2, 1004, 250, #2026-11-12 13:45:00#);
INSERT INTO bestellungen VALUES (10, 3, 3003, 1, #2026-11-16 17:10:00#);
ALTER TABLE bestellungen ADD CONSTRAINT fk_bestellungen_kunden FOREIGN KEY (KundenNr) REFERENCES kunden (KundenNr);
ALTER TABLE bestellungen ADD CONSTRAINT fk_bestellungen_artikel FOREIGN KEY (ArtikelNr) REFERENCES artikel (ArtikelNr);
