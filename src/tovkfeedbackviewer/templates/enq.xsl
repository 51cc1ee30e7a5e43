<?xml version="1.0" encoding="UTF-16"?>
<!-- Questionnaire views: total, list and single record. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:import href="tovk_common.xsl"/>
	<xsl:output method="html" encoding="UTF-16" doctype-public="-//W3C//DTD HTML 4.01 Transitional//EN"/>

	<xsl:key name="langs" match="/table/table_header/enq" use="@lang"/>
	<xsl:variable name="resultLang">
		<xsl:choose>
			<xsl:when test="/table/table_header/enq[@lang = /table/@language]"><xsl:value-of select="/table/@language"/></xsl:when>
			<xsl:otherwise><xsl:value-of select="/table/table_header/enq[1]/@lang"/></xsl:otherwise>
		</xsl:choose>
	</xsl:variable>
	<xsl:variable name="headers" select="/table/table_header/enq[@lang = $resultLang]"/>
	<xsl:variable name="selectIdx" select="number(/table/@selectIdx)"/>

	<xsl:template match="/">
		<html>
			<head>
				<meta http-equiv="Content-Type" content="text/html; charset=UTF-16"/>
				<link rel="stylesheet" type="text/css" href="style.css"/>
			</head>
			<body><xsl:apply-templates select="table"/></body>
		</html>
	</xsl:template>

	<xsl:template name="lang-buttons">
		<xsl:call-template name="language-buttons">
			<xsl:with-param name="langs" select="/table/table_header/enq[generate-id() = generate-id(key('langs', @lang)[1])]/@lang"/>
			<xsl:with-param name="current" select="$resultLang"/>
			<xsl:with-param name="label" select="'enqChangeLang'"/>
		</xsl:call-template>
	</xsl:template>

	<xsl:template name="type-label">
		<xsl:param name="header"/>
		<xsl:call-template name="msg-replace"><xsl:with-param name="label" select="string($header/type)"/></xsl:call-template>
	</xsl:template>

	<!-- The chosen answers of a record to a header's question, one per line, or noAns on grey. -->
	<xsl:template name="answer-cell">
		<xsl:param name="header"/>
		<xsl:param name="record"/>
		<xsl:param name="class"/>
		<xsl:variable name="chosen" select="$record/enq[@no = $header/@no]/ans[@value = '1']"/>
		<xsl:choose>
			<xsl:when test="$chosen">
				<td class="{$class}">
					<xsl:for-each select="$chosen">
						<xsl:variable name="no" select="@no"/>
						<xsl:if test="position() &gt; 1"><br/></xsl:if>
						<xsl:call-template name="br-replace"><xsl:with-param name="text" select="$header/ans[@no = $no]"/></xsl:call-template>
					</xsl:for-each>
				</td>
			</xsl:when>
			<xsl:otherwise>
				<td class="{$class} gray"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'noAns'"/></xsl:call-template></td>
			</xsl:otherwise>
		</xsl:choose>
	</xsl:template>

	<xsl:template match="table">
		<xsl:call-template name="TopLink"/>
		<xsl:choose>
			<xsl:when test="$total = 0">
				<xsl:call-template name="print-exp"><xsl:with-param name="text">No data.</xsl:with-param></xsl:call-template>
			</xsl:when>
			<xsl:when test="$inRange"><xsl:call-template name="list-view"/></xsl:when>
			<xsl:when test="not($selectIdx &gt; 0)"><xsl:call-template name="total-view"/></xsl:when>
			<xsl:when test="$selectIdx &gt; $total">
				<xsl:call-template name="print-exp">
					<xsl:with-param name="text"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'no'"/></xsl:call-template><xsl:text> </xsl:text><xsl:value-of select="$selectIdx"/> is not found.</xsl:with-param>
				</xsl:call-template>
				<xsl:call-template name="list-buttons"/>
				<xsl:call-template name="lang-buttons"/>
			</xsl:when>
			<xsl:otherwise><xsl:call-template name="single-view"/></xsl:otherwise>
		</xsl:choose>
	</xsl:template>

	<xsl:template name="total-view">
		<xsl:call-template name="print-title"><xsl:with-param name="label" select="'enqTitleTotal'"/></xsl:call-template>
		<xsl:call-template name="list-buttons"><xsl:with-param name="inTotal" select="true()"/></xsl:call-template>
		<xsl:call-template name="lang-buttons"/>
		<table border="1" class="enqTotal">
			<xsl:for-each select="$headers">
				<xsl:variable name="q" select="@no"/>
				<tr>
					<th class="enq" colspan="2"><xsl:value-of select="@no"/>. <xsl:call-template name="br-replace"><xsl:with-param name="text" select="query"/></xsl:call-template></th>
					<th class="total">
						<xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'getCnt'"/></xsl:call-template>
						<xsl:text> </xsl:text>
						<xsl:call-template name="type-label"><xsl:with-param name="header" select="."/></xsl:call-template>
					</th>
					<th class="rate"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'getRate'"/></xsl:call-template></th>
				</tr>
				<xsl:for-each select="ans[. != '' and not(preceding-sibling::ans[. = ''])]">
					<xsl:variable name="k" select="@no"/>
					<xsl:call-template name="graph-row">
						<xsl:with-param name="label"><xsl:call-template name="br-replace"><xsl:with-param name="text" select="."/></xsl:call-template></xsl:with-param>
						<xsl:with-param name="count" select="count(/table/table_data/enq[@no = $q]/ans[@no = $k][@value = '1'])"/>
					</xsl:call-template>
				</xsl:for-each>
				<xsl:variable name="none" select="count(/table/table_data/enq[@no = $q][@value = '00'])"/>
				<xsl:if test="$none &gt; 0">
					<xsl:call-template name="graph-row">
						<xsl:with-param name="label"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'noAns'"/></xsl:call-template></xsl:with-param>
						<xsl:with-param name="count" select="$none"/>
						<xsl:with-param name="class" select="'enq gray'"/>
					</xsl:call-template>
				</xsl:if>
			</xsl:for-each>
		</table>
	</xsl:template>

	<xsl:template name="list-view">
		<xsl:variable name="last">
			<xsl:choose>
				<xsl:when test="$listEnd &gt; 0 and $listEnd &lt; $total"><xsl:value-of select="$listEnd"/></xsl:when>
				<xsl:otherwise><xsl:value-of select="$total"/></xsl:otherwise>
			</xsl:choose>
		</xsl:variable>
		<xsl:call-template name="print-title"><xsl:with-param name="label" select="'enqTitleList'"/></xsl:call-template>
		<xsl:call-template name="list-buttons"/>
		<xsl:call-template name="lang-buttons"/>
		<table border="1" class="enqList">
			<tr>
				<th class="no"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'no'"/></xsl:call-template></th>
				<th class="sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'date'"/></xsl:call-template></th>
				<th class="sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'time'"/></xsl:call-template></th>
				<th class="sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'lang'"/></xsl:call-template></th>
				<xsl:for-each select="$headers">
					<th class="enq"><xsl:call-template name="br-replace"><xsl:with-param name="text" select="query"/></xsl:call-template><br/><xsl:call-template name="type-label"><xsl:with-param name="header" select="."/></xsl:call-template></th>
				</xsl:for-each>
			</tr>
			<xsl:for-each select="/table/table_data[position() &gt;= $listStart and position() &lt;= $last]">
				<xsl:variable name="record" select="."/>
				<tr>
					<td class="no"><input type="button" class="no" value="{@no}" onclick="onNumber({@no})"/></td>
					<td class="sys"><xsl:value-of select="date"/></td>
					<td class="sys"><xsl:value-of select="time"/></td>
					<td class="sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="string(lang)"/></xsl:call-template></td>
					<xsl:for-each select="$headers">
						<xsl:call-template name="answer-cell">
							<xsl:with-param name="header" select="."/>
							<xsl:with-param name="record" select="$record"/>
							<xsl:with-param name="class" select="'enq'"/>
						</xsl:call-template>
					</xsl:for-each>
				</tr>
			</xsl:for-each>
		</table>
	</xsl:template>

	<xsl:template name="single-view">
		<xsl:variable name="record" select="/table/table_data[$selectIdx]"/>
		<xsl:call-template name="print-title"><xsl:with-param name="label" select="'enqTitleOne'"/></xsl:call-template>
		<xsl:call-template name="list-buttons"/>
		<xsl:call-template name="lang-buttons"/>
		<div class="buttons">
			<input type="button" class="button" value="PREV" onclick="onPrev()"><xsl:if test="$selectIdx &lt;= 1"><xsl:attribute name="disabled">disabled</xsl:attribute></xsl:if></input>
			<xsl:text> </xsl:text><span id="position"><xsl:value-of select="$selectIdx"/> / <xsl:value-of select="$total"/></span><xsl:text> </xsl:text>
			<input type="button" class="button" value="NEXT" onclick="onNext()"><xsl:if test="$selectIdx &gt;= $total"><xsl:attribute name="disabled">disabled</xsl:attribute></xsl:if></input>
		</div>
		<table border="1" class="enqOne">
			<tr><th class="one_sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'no'"/></xsl:call-template></th><td class="one_enq"><xsl:value-of select="$selectIdx"/></td></tr>
			<tr><th class="one_sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'date'"/></xsl:call-template></th><td class="one_enq"><xsl:value-of select="$record/date"/></td></tr>
			<tr><th class="one_sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'time'"/></xsl:call-template></th><td class="one_enq"><xsl:value-of select="$record/time"/></td></tr>
			<tr><th class="one_sys"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="'lang'"/></xsl:call-template></th><td class="one_enq"><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="string($record/lang)"/></xsl:call-template></td></tr>
			<xsl:variable name="own" select="/table/table_header/enq[@lang = $record/lang]"/>
			<xsl:for-each select="$own | $headers[not($own)]">
				<xsl:variable name="q" select="@no"/>
				<xsl:variable name="shown" select="$headers[@no = $q] | current()[not($headers[@no = $q])]"/>
				<tr>
					<th class="one_sys"><xsl:call-template name="br-replace"><xsl:with-param name="text" select="$shown/query"/></xsl:call-template><br/><xsl:call-template name="type-label"><xsl:with-param name="header" select="$shown"/></xsl:call-template></th>
					<xsl:call-template name="answer-cell">
						<xsl:with-param name="header" select="$shown"/>
						<xsl:with-param name="record" select="$record"/>
						<xsl:with-param name="class" select="'one_enq'"/>
					</xsl:call-template>
				</tr>
			</xsl:for-each>
		</table>
	</xsl:template>
</xsl:stylesheet>
