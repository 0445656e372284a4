SELECT Sum(Table1.H) AS Saldo FROM Table1 INNER JOIN Table3 ON Table1.E = Table3.a WHERE Table1.G <= #12/31/2005# AND Table1.I = 0
