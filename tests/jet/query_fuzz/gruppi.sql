SELECT Count(*), Max(F), Min(G) FROM Table1 GROUP BY I HAVING Count(*) > 0
